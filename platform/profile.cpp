#include "platform/profile.h"

#include "platform/ascii_case.h"
#include "platform/errors.h"
#include "platform/file.h"

namespace platform {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// One line of the file: `content` without its line end, `end` the offset just
// past its line end (or past the content on a last line without one).
struct Line {
  std::size_t begin = 0;
  std::string_view content;
  std::size_t end = 0;
};

// Walks the lines of a text; a line ends at LF, and a CR right before that LF
// belongs to the line end. A UTF-8 byte-order mark (a file saved by a Windows
// editor) belongs to no line, so a write keeps it where it is.
class LineWalker {
 public:
  explicit LineWalker(std::string_view text)
      : text_(text), pos_(text.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0) {}

  bool Next(Line& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t lf = text_.find('\n', pos_);
    const std::size_t stop = lf == std::string_view::npos ? text_.size() : lf;
    std::size_t content_end = stop;
    if (lf != std::string_view::npos && content_end > pos_ && text_[content_end - 1] == '\r') {
      --content_end;
    }
    line.begin = pos_;
    line.content = text_.substr(pos_, content_end - pos_);
    line.end = lf == std::string_view::npos ? text_.size() : lf + 1;
    pos_ = line.end;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The name of a "[section]" header line; nothing when the line is not a header.
// A header without its "]" names the rest of the line.
std::optional<std::string_view> SectionNameOf(std::string_view content) {
  const std::string_view trimmed = TrimBlanks(content);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  std::string_view name = trimmed.substr(1);
  const auto close = name.find(']');
  if (close != std::string_view::npos) name = name.substr(0, close);
  return TrimBlanks(name);
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> KeyLineOf(std::string_view content) {
  const auto equals = content.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{TrimBlanks(content.substr(0, equals)), TrimBlanks(content.substr(equals + 1))};
}

// Where a section and a key stand in the text.
struct Location {
  bool section_found = false;
  // The key's line, when found.
  std::optional<Line> key_line;
  // The last line of the section that is not blank (the header when it holds
  // no such line): a new key goes right after it.
  Line last_filled_line;
};

// Blanks around the names asked for are ignored as they are in the file, so
// that a key written under " name " is found again under the same name.
Location Locate(std::string_view text, std::string_view section, std::string_view key) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  Location where;
  LineWalker walker(text);
  Line line;
  bool inside = false;
  while (walker.Next(line)) {
    if (const auto name = SectionNameOf(line.content)) {
      if (where.section_found) break;
      inside = SameTextAsciiCase(*name, section);
      if (inside) {
        where.section_found = true;
        where.last_filled_line = line;
      }
      continue;
    }
    if (!inside) continue;
    if (!TrimBlanks(line.content).empty()) where.last_filled_line = line;
    const auto key_line = KeyLineOf(line.content);
    if (key_line && SameTextAsciiCase(key_line->key, key)) {
      where.key_line = line;
      break;
    }
  }
  return where;
}

std::string ValueOnOneLine(std::string_view value) {
  std::string result(value);
  for (char& c : result) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return result;
}

bool IsWritableName(std::string_view section, std::string_view key) {
  const auto has_any = [](std::string_view text, std::string_view chars) {
    return text.find_first_of(chars) != std::string_view::npos;
  };
  return !TrimBlanks(key).empty() && !has_any(section, "]\r\n") && !has_any(key, "=\r\n") &&
         TrimBlanks(key).front() != '[';
}

// The file's text after the write; `text` is the text before it.
std::string WithValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  const Location where = Locate(text, section, key);
  std::string result;
  if (where.key_line) {
    const Line& line = *where.key_line;
    const std::string_view old_key = KeyLineOf(line.content)->key;
    result.append(text.substr(0, line.begin));
    result.append(old_key).append("=").append(value);
    result.append(text.substr(line.begin + line.content.size()));
    return result;
  }
  const std::string key_line = std::string(key) + "=" + std::string(value);
  if (where.section_found) {
    const Line& after = where.last_filled_line;
    const bool has_line_end = after.end > after.begin + after.content.size();
    result.append(text.substr(0, after.end));
    if (!has_line_end) result.append(kLineBreak);
    result.append(key_line).append(kLineBreak);
    result.append(text.substr(after.end));
    return result;
  }
  result.append(text);
  if (!result.empty() && result.back() != '\n') result.append(kLineBreak);
  result.append("[").append(section).append("]").append(kLineBreak);
  result.append(key_line).append(kLineBreak);
  return result;
}

// The whole file's bytes; only a regular file is read.
std::string ReadWholeFile(const std::string& path) {
  const FileDescriptor file = OpenRegularFile(path);
  return ReadToEnd(file);
}

// The current text of the file; "" when it does not exist yet.
std::string ReadForUpdate(const std::string& path) {
  try {
    return ReadWholeFile(path);
  } catch (const InOutError& error) {
    if (error.code() == InOutError::kFileNotFound) return {};
    throw ProfileWriteError(path, error.cause());
  }
}

void ReplaceFile(const std::string& path, std::string_view text) {
  try {
    ReplaceFileAtomically(path, text, ReplacedFile::kKeepsOwnerAndMode);
  } catch (const InOutError& error) {
    throw ProfileWriteError(path, error.cause());
  }
}

}  // namespace

ProfileSnapshot ProfileSnapshot::Load(const std::string& path) {
  try {
    return ProfileSnapshot(ReadWholeFile(path));
  } catch (const InOutError&) {
    return ProfileSnapshot(std::string());
  }
}

std::optional<std::string> ProfileSnapshot::Find(std::string_view section,
                                                 std::string_view key) const {
  const Location where = Locate(text_, section, key);
  if (!where.key_line) return std::nullopt;
  const std::string_view value = KeyLineOf(where.key_line->content)->value;
  return std::string(value.substr(0, kMaxProfileValueLength));
}

std::string ProfileSnapshot::Read(std::string_view section, std::string_view key) const {
  return Find(section, key).value_or(std::string());
}

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key) {
  return ProfileSnapshot::Load(path).Read(section, key);
}

void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  if (!IsWritableName(section, key)) throw ProfileWriteError(path);
  const std::string text = ReadForUpdate(path);
  ReplaceFile(path, WithValue(text, section, key, ValueOnOneLine(value)));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view default_value) const {
  const auto value = pending_ ? ProfileSnapshot(*pending_).Find(section, key)
                              : ProfileSnapshot::Load(path_).Find(section, key);
  return value ? *value : std::string(default_value);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsWritableName(section, key)) throw ProfileWriteError(path_);
  if (!pending_) pending_ = ReadForUpdate(path_);
  *pending_ = WithValue(*pending_, section, key, ValueOnOneLine(value));
}

void IniFile::UpdateFile() {
  if (!pending_) return;
  ReplaceFile(path_, *pending_);
  pending_.reset();
}

}  // namespace platform
