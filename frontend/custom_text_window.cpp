#include "frontend/custom_text_window.h"

#include "frontend/Unit1.h"

namespace quorvel {

CustomTextWindow::CustomTextWindow(TForm1& form)
    : form_(form), dialog_(std::make_unique<Tcustom_text_form>(*this)) {
  // A dialog left open must not keep the program alive once the main window
  // has been closed.
  dialog_->setAttribute(Qt::WA_QuitOnClose, false);
  form_.custom_text_form = dialog_.get();
}

CustomTextWindow::~CustomTextWindow() {
  form_.custom_text_form = nullptr;
}

std::string& CustomTextWindow::my_text() {
  return form_.MyTXT;
}

const std::string& CustomTextWindow::ini_path() const {
  return form_.IniPath;
}

void CustomTextWindow::preview_sample() {
  form_.preview_sample();
}

void CustomTextWindow::set_main_window_enabled(bool enabled) {
  form_.setEnabled(enabled);
}

void CustomTextWindow::report_error(const std::string& message) {
  form_.dialogs().ShowError(message);
}

}  // namespace quorvel
