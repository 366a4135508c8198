#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// The keys a front-end's first save writes, with a font that every test
// machine has; `overrides` replaces or adds keys (an empty value is written as
// such).
std::map<std::string, std::string> DefaultSettings();

// Writes the settings file with its one section into `folder`.
void WriteSettingsFile(const std::filesystem::path& folder,
                       const std::map<std::string, std::string>& keys);

// The whole settings file a front-end's first start saves, naming `font` and
// the default `output` folder.
std::string FirstSaveFile(const std::string& font, const std::string& output);

// The settings file as key=value lines in file order, section header left out.
std::vector<std::string> SettingsLines(const std::filesystem::path& ini);
// The value of `key` in the settings file; nullopt when absent.
std::optional<std::string> SettingValue(const std::filesystem::path& ini, std::string_view key);

}  // namespace testing_support
