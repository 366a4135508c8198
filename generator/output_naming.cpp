#include "generator/output_naming.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdint>
#include <optional>

#include "shared/helpers.h"

namespace vantrel {

namespace {

constexpr std::string_view kMarker = "_DateTime_";
constexpr std::size_t kMaxTailLength = 100;

// Every occurrence of `what` taken out, scanning once from the left as a
// replace-all does; an empty `what` removes nothing.
std::string RemoveAll(std::string_view text, std::string_view what) {
  if (what.empty()) return std::string(text);
  std::string result;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(what, pos)) != std::string_view::npos;) {
    result.append(text.substr(pos, hit - pos));
    pos = hit + what.size();
  }
  result.append(text.substr(pos));
  return result;
}

// The number a tail of digits stands for, when it is a counter at all: the
// empty tail and digits beyond the 32-bit range are not.
std::optional<std::int64_t> CounterValueOf(std::string_view tail) {
  if (tail.empty() || !shared::IsAllDigits(tail)) return std::nullopt;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(tail.data(), tail.data() + tail.size(), value);
  if (error != std::errc() || end != tail.data() + tail.size()) return std::nullopt;
  return value;
}

// Four digits with leading zeros, as 0001 to 0999. From 1000 on the counter is
// the plain decimal number (1000, 1001, ...), so that every name stays distinct
// and a later step still reads it back as a counter.
std::string CounterText(std::optional<std::int64_t> previous) {
  if (!previous) return "0001";
  std::string digits = std::to_string(*previous + 1);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return digits;
}

// Nothing there, or an empty regular file: free to be written. Any other entry
// is taken, a link above all, whatever it points to (even nowhere): the save
// never follows a link nor removes one, nor replaces a folder, a pipe or a
// device, and a folder would only end the run when the link finds it there.
// An entry that cannot be looked at is left for the save to report.
bool IsFreeOutputName(const std::string& candidate) {
  struct stat entry {};
  if (lstat(candidate.c_str(), &entry) != 0) return true;
  return S_ISREG(entry.st_mode) && entry.st_size == 0;
}

}  // namespace

std::string ExtensionOf(std::string_view path) {
  const auto dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  if (path.find('/', dot) != std::string_view::npos) return {};
  return std::string(path.substr(dot));
}

NamingStep GenFilename(const std::string& source_name, const std::string& source_ext) {
  const auto marker = source_name.find(kMarker);
  const std::size_t tail_start = marker == std::string::npos ? 0 : marker;
  std::string tail = source_name.substr(tail_start, kMaxTailLength);
  tail = RemoveAll(RemoveAll(tail, source_ext), kMarker);

  const std::string counter = CounterText(CounterValueOf(tail));
  const std::string base =
      RemoveAll(RemoveAll(source_name, source_ext), std::string(kMarker) + tail);
  return {base, base + std::string(kMarker) + counter + source_ext};
}

NoFreeOutputNameError::NoFreeOutputNameError(const std::string& picture)
    : Error("No free output file name for " + picture) {}

std::string ChooseOutputName(const std::string& current_picture, const std::string& output_path) {
  std::string output_name =
      GenFilename(std::string(shared::FileNamePart(current_picture)), ExtensionOf(current_picture))
          .output_name;
  for (int tries = 0; tries < kMaxOutputNameTries; ++tries) {
    if (IsFreeOutputName(output_path + output_name)) return output_name;
    // The next step starts from the name alone: taken from the joined candidate,
    // an output folder without its trailing "/" would leak its last part (and
    // any "." in it) into every following name.
    output_name = GenFilename(output_name, ExtensionOf(output_name)).output_name;
  }
  throw NoFreeOutputNameError(current_picture);
}

}  // namespace vantrel
