#include "generator/app_dir.h"

#include "platform/errors.h"
#include "platform/process_list.h"

namespace vantrel {

std::string ProgramFolder() {
  try {
    return platform::RunningProgramFile().parent_path().string() + "/";
  } catch (const platform::SystemError&) {
    return "./";
  }
}

}  // namespace vantrel
