#pragma once
// The folder browser that the output-folder choice opens.

#include <string>

#include "frontend/dialogs.h"

namespace quorvel {

// Lets the user pick an existing folder, opening on `initial` (not checked: a
// folder that is gone only loses the preselection). The answer has no trailing
// "/" except for the root; empty when the user cancelled.
//
// `allow_new_folder` says whether the caller would accept a folder made on the
// spot. The front-end's one caller does not, and Dialogs::ChooseFolder never
// offers a button for it, so false is the only value honoured today.
std::string browse_for_folder(Dialogs& dialogs, const std::string& title,
                              const std::string& initial, bool allow_new_folder);

}  // namespace quorvel
