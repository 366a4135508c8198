#include "window_fixture.h"

#include <QCoreApplication>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "shared/sysconfig.h"

namespace quorvel_test {

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
      quorvel::StartOptions{app_dir(), /*UseInstanceGuard=*/false, /*RegisterWindow=*/false},
      dialogs_);
  form_->activate();
  return *form_;
}

}  // namespace quorvel_test
