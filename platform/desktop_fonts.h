#pragma once
// Stands in for AddFontResourceA and RemoveFontResourceA: a per-user registry
// of added font files, kept in the user's runtime folder beside the window
// registry. Every program of ours consults it when it looks for a face by name,
// so a font added by one program is found by the others, also in other
// processes, until it is removed.

#include <string>
#include <vector>

namespace platform {

// Adds the font file `path` (any extension; relative paths are taken from the
// working folder) to the registry. Returns the number of faces in the file, or
// 0 when it is no readable font or the registry cannot be written; then the
// registry is unchanged. Adding a file that is already listed changes nothing
// and again returns its number of faces.
int AddDesktopFont(const std::string& path);

// Takes `path` off the registry. False when it was not listed or the registry
// cannot be written.
bool RemoveDesktopFont(const std::string& path);

// The registered files, absolute paths in the order they were added. Empty
// when the registry is missing or cannot be read.
std::vector<std::string> DesktopFontFiles();

// Family names of the installed and registered fonts, sorted without regard
// to ASCII case, each once: the names a font can be asked for by.
std::vector<std::string> InstalledFontFamilies();

}  // namespace platform
