#pragma once
// One running copy per program file.

#include <cstdint>

#include "platform/window.h"

namespace quorvel {

// True: another copy was brought forward (or the block could not be opened) and this copy must
// quit.
bool restore_if_running(platform::WindowHandle window, std::int32_t max_instances);
// Once at program end: gives back this copy's slot.
void release_instance_slot();

}  // namespace quorvel
