#pragma once
// The user-text dialog: the text of the user's own that replaces the date stamp
// on every picture. Created once, hidden, and shown without a modal loop while
// the main window is disabled.

#include <QWidget>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvel {

// What the dialog needs of the main window.
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
