#include "frontend/CheckPrevious.h"

namespace quorvel {

// Until the guard is in place every copy runs.
bool restore_if_running(platform::WindowHandle, std::int32_t) {
  return false;
}

void release_instance_slot() {}

}  // namespace quorvel
