#pragma once
// Stands in for the Windows profile (INI file) functions GetPrivateProfileString,
// WritePrivateProfileString and the runtime's TIniFile built on them.
//
// File syntax: "[section]" header lines and "key=value" lines. Section and key
// names match ignoring the case of a-z. Reading accepts LF and CR LF line ends;
// blanks and tabs around section names, keys and values are ignored; a value
// runs from the first "=" to the line end, so it may hold "=" itself. Lines that
// are neither a header nor hold an "=" are kept but carry nothing. Values come
// back as written: no quotes are stripped. Writing puts CR LF after every line
// it creates, as Windows does, and leaves every other line byte for byte as it
// was.
//
// A write replaces the whole file at once (a temporary file in the same folder
// renamed over it), so a reader in another process sees either the old or the
// new file, never a part, and a writer killed in the middle leaves the old file.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The longest value a read gives back, as with a 2048-byte buffer.
inline constexpr std::size_t kMaxProfileValueLength = 2047;

// The content of one settings file as read at one moment. Looks keys up exactly
// as ReadProfileString does, so that many keys can come from one reading.
class ProfileSnapshot {
 public:
  // A missing or unreadable file, and anything but a regular file (a pipe, a
  // device), gives an empty snapshot, where every key is missing.
  static ProfileSnapshot Load(const std::string& path);
  explicit ProfileSnapshot(std::string text) : text_(std::move(text)) {}

  // The value of the first `key` in the first `section`, cut to kMaxProfileValueLength.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // As Find, with "" for a missing key.
  std::string Read(std::string_view section, std::string_view key) const;

 private:
  std::string text_;
};

// Value of `key` in `section`, "" when the file, section or key is missing; at
// most 2047 characters.
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key);

// Replaces the value in place or appends the key to the section; creates the
// file and the section when missing. A line break in the value would split it
// into lines of its own, so each CR and LF in it is written as a blank.
// Throws ProfileWriteError("Unable to write to <path>") on failure, the file
// then being left as it was.
void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

// A settings file object for one operation (a load, a save). Reads reach the
// file as the profile functions do, except that they see the object's own
// pending writes. Writes are collected in memory, with the same key order
// semantics as WriteProfileString, and reach the file only through
// UpdateFile(), as one atomic replace: a save of many keys costs one rewrite.
//
// The destructor does not write: an operation that fails before its
// UpdateFile() leaves the file as it was, and its writes are lost.
class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }
  // The value, or `default_value` when the key or the file is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value = {}) const;
  // Takes the file's current text at the first write after a flush. Throws
  // ProfileWriteError for a name that cannot be written and for a file that
  // exists but cannot be read; nothing is pending then.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Replaces the file by its text with every pending write, in one step. Does
  // nothing when no write is pending. Throws ProfileWriteError("Unable to
  // write to <path>") on failure, the file then being left whole as it was and
  // the writes still pending.
  void UpdateFile();

 private:
  std::string path_;
  // The file's text with the pending writes applied, while any are pending.
  std::optional<std::string> pending_;
};

}  // namespace platform
