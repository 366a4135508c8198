#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace testing_support {

// The keys a front-end's first save writes, with a font that every test
// machine has; `overrides` replaces or adds keys (an empty value is written as
// such).
std::map<std::string, std::string> DefaultSettings();

// Writes the settings file with its one section into `folder`.
void WriteSettingsFile(const std::filesystem::path& folder,
                       const std::map<std::string, std::string>& keys);

}  // namespace testing_support
