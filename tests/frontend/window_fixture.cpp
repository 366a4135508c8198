#include "window_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "shared/sysconfig.h"

namespace quorvel_test {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-fe-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code error;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, error);
  std::filesystem::remove_all(path_, error);
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::optional<quorvel::ColorChoice> ScriptedDialogs::ChooseColor(
    const quorvel::ColorChoice& initial) {
  colors_offered.push_back(initial);
  if (color_answers.empty()) return std::nullopt;
  auto answer = color_answers.front();
  color_answers.pop_front();
  return answer;
}

bool ScriptedDialogs::Confirm(const std::string&, const std::string&) {
  if (confirm_answers.empty()) return false;
  const bool answer = confirm_answers.front();
  confirm_answers.pop_front();
  return answer;
}

std::vector<std::string> SettingsLines(const std::filesystem::path& ini) {
  std::vector<std::string> lines;
  std::istringstream text(ReadText(ini));
  std::string line;
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() != '[') lines.push_back(line);
  }
  return lines;
}

std::optional<std::string> SettingValue(const std::filesystem::path& ini, std::string_view key) {
  const std::string prefix = std::string(key) + "=";
  for (const auto& line : SettingsLines(ini))
    if (line.starts_with(prefix)) return line.substr(prefix.size());
  return std::nullopt;
}

WindowTest::WindowTest() {
  if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_runtime_dir_ = old;
  setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
}

WindowTest::~WindowTest() {
  form_.reset();
  if (old_runtime_dir_)
    setenv("XDG_RUNTIME_DIR", old_runtime_dir_->c_str(), 1);
  else
    unsetenv("XDG_RUNTIME_DIR");
}

quorvel::TForm1& WindowTest::Start() {
  form_ = std::make_unique<quorvel::TForm1>(
      quorvel::StartOptions{app_dir(), /*UseInstanceGuard=*/false, /*RegisterWindow=*/false},
      dialogs_);
  form_->activate();
  return *form_;
}

}  // namespace quorvel_test
