#pragma once
// Faces closed lately, kept open for the next font of the same file. A run
// draws every picture's stamp with the same face; opening it anew for each
// one maps the font file again, and every unmapping stops the other CPUs for
// a flush of their address caches, which a busy machine feels.
// Not thread-safe: the engine calls it under its lock.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <deque>
#include <string>
#include <unordered_map>

namespace platform {

class IdleFaces {
 public:
  static constexpr std::size_t kKept = 4;

  IdleFaces() = default;
  ~IdleFaces();
  IdleFaces(const IdleFaces&) = delete;
  IdleFaces& operator=(const IdleFaces&) = delete;

  // A kept face of `file` and `index`, now the caller's, or null. A file that
  // changed since its face was opened has that face closed instead: FreeType
  // reads the file as it was mapped.
  FT_Face Take(const std::string& file, int index);
  // Notes where a face just opened came from, so that closing it keeps it.
  void Opened(FT_Face face, const std::string& file, int index);
  // Keeps a face that is no longer used, closing the oldest kept beyond
  // kKept; a face that Opened never saw is closed.
  void Close(FT_Face face);

 private:
  struct Origin {
    std::string file;
    int index = 0;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
  };

  static bool Describe(const std::string& file, Origin& origin);
  static bool SameFile(const Origin& a, const Origin& b);
  void Forget(FT_Face face);

  std::unordered_map<FT_Face, Origin> origins_;  // every face opened and not yet closed
  std::deque<FT_Face> idle_;                     // oldest first
};

}  // namespace platform
