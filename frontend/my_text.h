#pragma once
// The user-text dialog: the text of the user's own that replaces the date stamp
// on every picture. The main window makes it once, hidden, and shows it without
// a modal loop while the main window is disabled. The dialog is a window of its
// own, not a child of the main window, which disables itself (and so all its
// children) while the dialog is up; it is transient for the main window, so it
// stays above it.

#include <QWidget>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvel {

// What the dialog needs of the main window; tests stand in for it.
class MyTextOwner {
 public:
  virtual ~MyTextOwner() = default;
  virtual std::string& my_text() = 0;  // MyTXT
  virtual const std::string& ini_path() const = 0;
  virtual void preview_sample() = 0;
  virtual void set_main_window_enabled(bool enabled) = 0;
  // Shows an error that the dialog does not handle itself.
  virtual void report_error(const std::string& message) = 0;
};

class Tcustom_text_form : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxTextLength = 300;

  // `owner` must outlive the dialog.
  explicit Tcustom_text_form(MyTextOwner& owner);

  // Shows the dialog kept above `main_window`, which it leaves enabled or not.
  void ShowOver(QWidget& main_window);

  void FormActivate();
  void saveClick();
  void Button1Click();
  // Returns true when the key was used up here (Enter, Escape).
  bool custom_textboxKeyPress(int key);
  void FormClose();

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* custom_textbox_label = nullptr;
  QLineEdit* custom_textbox = nullptr;
  QPushButton* save = nullptr;
  QPushButton* Button1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();

  MyTextOwner& owner_;
};

}  // namespace quorvel
