#include "generator/app_dir.h"

#include "platform/own_program_file.h"

namespace vantrel {

std::string ProgramFolder() {
  return platform::OwnProgramFolder();
}

}  // namespace vantrel
