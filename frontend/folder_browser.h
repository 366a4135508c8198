#pragma once
// The folder browser that the output-folder choice opens.

#include <string>

#include "frontend/dialogs.h"

namespace quorvel {

// Lets the user pick an existing folder, opening on `initial` (not checked: a
// folder that is gone only loses the preselection). The answer is the folder
// as the browser gives it (OutputFolderFromChoice makes the output folder of
// it); empty when the user cancelled. No folder can be made on the spot.
std::string browse_for_folder(Dialogs& dialogs, const std::string& title,
                              const std::string& initial);

}  // namespace quorvel
