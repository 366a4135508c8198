// Feeds arbitrary bytes to the generator's batch as its picture list, with a
// per-picture step that only records, and checks which lines reach that step.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "generator/gen.h"
#include "platform/profile.h"
#include "shared/sysconfig.h"

namespace {

namespace SysConfig = shared::SysConfig;

using fuzz_support::Check;
using vantrel::TForm1;

// A settings file whose numbers all read, writing outputs into an empty folder.
class BatchFolder {
 public:
  BatchFolder() {
    const std::string settings = (folder_ / SysConfig::FileName).string();
    for (const auto key :
         {SysConfig::r_font_color, SysConfig::g_font_color, SysConfig::b_font_color,
          SysConfig::r_DropShadow_color, SysConfig::g_DropShadow_color,
          SysConfig::b_DropShadow_color, SysConfig::DateFormat, SysConfig::border_margin}) {
      platform::WriteProfileString(settings, SysConfig::Section, key, "0");
    }
    std::filesystem::create_directory(folder_ / "out");
    platform::WriteProfileString(settings, SysConfig::Section, SysConfig::OutputPath,
                                 (folder_ / "out/").string());
  }

  std::string slash() const { return folder_.path().string() + "/"; }
  std::filesystem::path list() const { return folder_ / "filelist"; }

 private:
  fuzz_support::ScratchFolder folder_;
};

// The lines of a text file: each ends at LF, a CR right before that LF going
// with it; an empty file is one empty line, a final LF starts no further line.
std::vector<std::string> LinesOf(std::string_view text) {
  std::vector<std::string> lines;
  do {
    const auto lf = text.find('\n');
    std::string_view line = fuzz_support::TakeFront(text, lf);
    if (lf != std::string_view::npos) {
      text.remove_prefix(1);
      if (line.ends_with('\r')) line.remove_suffix(1);
    }
    lines.emplace_back(line);
  } while (!text.empty());
  return lines;
}

// Blank as the batch sees it: nothing but control characters and spaces.
bool IsBlankLine(std::string_view line) {
  for (const char c : line) {
    if (static_cast<unsigned char>(c) > 32) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const BatchFolder folder;
  const std::string_view list(reinterpret_cast<const char*>(data), size);
  fuzz_support::WriteFileBytes(folder.list(), list);

  TForm1 form(folder.slash());
  form.set_front_end_check([] { return true; });
  std::vector<std::string> stepped;
  form.set_picture_step([&](TForm1& f) {
    Check(!f.OutputName().empty(), "a picture without an output name");
    stepped.push_back(f.CurrentPicture());
  });
  std::string error;
  try {
    form.FormActivate();
  } catch (const std::exception& e) {
    error = e.what();
  }
  Check(form.termination_requested(), "the batch did not ask to end");

  // Every line that is not blank reaches the step once, in order and as it
  // stands; the first one holding a zero byte ends the run instead.
  std::size_t next = 0;
  for (const std::string& line : LinesOf(list)) {
    if (IsBlankLine(line)) continue;
    if (line.find('\0') != std::string::npos) {
      Check(next == stepped.size(), "a line after a zero byte was stepped");
      Check(std::string_view(error).ends_with(": File not found"), "a zero byte was not refused");
      return 0;
    }
    Check(next < stepped.size() && stepped[next] == line, "a line did not come back as it stands");
    ++next;
  }
  Check(next == stepped.size(), "more pictures stepped than the list holds");
  Check(error.empty(), "an error without a zero byte in the list");
  return 0;
}
