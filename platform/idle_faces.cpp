#include "platform/idle_faces.h"

#include <sys/stat.h>

#include <algorithm>

namespace platform {

IdleFaces::~IdleFaces() {
  for (const FT_Face face : idle_) FT_Done_Face(face);
}

bool IdleFaces::Describe(const std::string& file, Origin& origin) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) return false;
  origin.device = info.st_dev;
  origin.inode = info.st_ino;
  origin.size = info.st_size;
  origin.modified = info.st_mtim;
  return true;
}

bool IdleFaces::SameFile(const Origin& a, const Origin& b) {
  return a.device == b.device && a.inode == b.inode && a.size == b.size &&
         a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
}

FT_Face IdleFaces::Take(const std::string& file, int index) {
  const auto kept = std::find_if(idle_.begin(), idle_.end(), [&](FT_Face face) {
    const Origin& origin = origins_.at(face);
    return origin.file == file && origin.index == index;
  });
  if (kept == idle_.end()) return nullptr;
  const FT_Face face = *kept;
  idle_.erase(kept);
  Origin now;
  if (Describe(file, now) && SameFile(now, origins_.at(face))) return face;
  Forget(face);
  return nullptr;
}

void IdleFaces::Opened(FT_Face face, const std::string& file, int index) {
  Origin origin;
  origin.file = file;
  origin.index = index;
  // A file that cannot be looked at now is not one to keep a face of.
  if (Describe(file, origin)) origins_[face] = std::move(origin);
}

void IdleFaces::Close(FT_Face face) {
  if (!origins_.contains(face)) {
    FT_Done_Face(face);
    return;
  }
  idle_.push_back(face);
  if (idle_.size() <= kKept) return;
  const FT_Face oldest = idle_.front();
  idle_.pop_front();
  Forget(oldest);
}

void IdleFaces::Forget(FT_Face face) {
  origins_.erase(face);
  FT_Done_Face(face);
}

}  // namespace platform
