#pragma once
// The user-text dialog of a main window: made once, hidden, and handed to the
// window for its "My Text" icon. The dialog is a window of its own, not a child
// of the main window, which disables itself (and so all its children) while the
// dialog is up; it is transient for the main window, so it stays above it.

#include <memory>
#include <string>

#include "frontend/my_text.h"

namespace quorvel {

class TForm1;

class CustomTextWindow : public MyTextOwner {
 public:
  // Attaches the dialog to `form` until this object goes; `form` must outlive it.
  explicit CustomTextWindow(TForm1& form);
  ~CustomTextWindow() override;
  CustomTextWindow(const CustomTextWindow&) = delete;
  CustomTextWindow& operator=(const CustomTextWindow&) = delete;

  Tcustom_text_form& dialog() { return *dialog_; }

  std::string& my_text() override;
  const std::string& ini_path() const override;
  void preview_sample() override;
  void set_main_window_enabled(bool enabled) override;
  void report_error(const std::string& message) override;

 private:
  TForm1& form_;
  std::unique_ptr<Tcustom_text_form> dialog_;
};

}  // namespace quorvel
