#include "window_fixture.h"

#include <QCoreApplication>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "shared/sysconfig.h"

namespace quorvel_test {

namespace {

// The next queued answer, or `none` when nothing is queued.
template <typename Answer>
Answer Next(std::deque<Answer>& answers, Answer none) {
  if (answers.empty()) return none;
  Answer answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace

std::optional<quorvel::ColorChoice> ScriptedDialogs::ChooseColor(
    const quorvel::ColorChoice& initial) {
  colors_offered.push_back(initial);
  return Next(color_answers, std::optional<quorvel::ColorChoice>{});
}

std::vector<std::string> ScriptedDialogs::OpenFiles(const quorvel::FileDialogSpec& spec) {
  opens_offered.push_back(spec);
  return Next(open_answers, std::vector<std::string>{});
}

std::optional<std::string> ScriptedDialogs::ChooseFolder(const std::string& title,
                                                         const std::string& initial) {
  folder_requests.push_back({title, initial});
  return Next(folder_answers, std::optional<std::string>{});
}

bool ScriptedDialogs::Confirm(const std::string& title, const std::string& text) {
  questions.emplace_back(title, text);
  return Next(confirm_answers, false);
}

void PickWithMouse(quorvel::ListBox* list, int index) {
  list->showPopup();
  list->hidePopup();
  list->setCurrentIndex(index);
  emit list->activated(index);
  QCoreApplication::processEvents();
}

WindowTest::WindowTest() = default;
WindowTest::~WindowTest() = default;

quorvel::TForm1& WindowTest::Start() {
  form_ = std::make_unique<quorvel::TForm1>(
      quorvel::StartOptions{.AppDir = app_dir(), .RegisterWindow = false}, dialogs_);
  form_->activate();
  return *form_;
}

}  // namespace quorvel_test
