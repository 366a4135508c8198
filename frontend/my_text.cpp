#include "frontend/my_text.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "frontend/artwork.h"
#include "frontend/qt_convert.h"
#include "platform/errors.h"
#include "platform/profile.h"
#include "shared/helpers.h"
#include "shared/sysconfig.h"

namespace quorvel {

namespace {

constexpr int kClientWidth = 409;
constexpr int kClientHeight = 198;

QLabel* BoldLabel(QWidget* parent, const char* name, const char* text, int top) {
  auto* label = new QLabel(ToQString(text), parent);
  label->setObjectName(name);
  QFont font(QStringLiteral("Verdana"));
  font.setPointSize(8);
  font.setBold(true);
  label->setFont(font);
  label->move(16, top);
  label->adjustSize();
  return label;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, int left) {
  auto* button = new QPushButton(ToQString(caption), parent);
  button->setObjectName(name);
  button->setGeometry(left, 152, 80, 28);
  return button;
}

}  // namespace

Tcustom_text_form::Tcustom_text_form(MyTextOwner& owner)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      owner_(owner) {
  setObjectName(QStringLiteral("custom_text_form"));
  // A dialog left open must not keep the program alive once the main window
  // has been closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowTitle(QStringLiteral("My Text : Imprint"));
  setFixedSize(kClientWidth, kClientHeight);
  setAutoFillBackground(true);
  QPalette silver = palette();
  silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
  setPalette(silver);
  BuildControls();
}

void Tcustom_text_form::BuildControls() {
  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(kClientWidth - 64 - 8, 8, 64, 64);
  Image1->setPixmap(QPixmap(ArtworkPath("my_text_decoration.png")));
  Image1->setScaledContents(true);

  Label1 = BoldLabel(this, "Label1", "Date taken will be replaced with custom Text", 16);
  Label2 = BoldLabel(this, "Label2", "You can stamp any text by your self.", 36);

  custom_textbox_label = new QLabel(QStringLiteral("Custom Text:"), this);
  custom_textbox_label->setObjectName(QStringLiteral("custom_textbox_label"));
  custom_textbox_label->move(16, 82);
  custom_textbox_label->adjustSize();

  custom_textbox = new QLineEdit(this);
  custom_textbox->setObjectName(QStringLiteral("custom_textbox"));
  custom_textbox->setGeometry(16, 100, kClientWidth - 32, 28);
  custom_textbox->setMaxLength(kMaxTextLength);
  QFont edit_font(QStringLiteral("MS Sans Serif"));
  edit_font.setPointSize(12);
  custom_textbox->setFont(edit_font);
  custom_textbox->installEventFilter(this);
  custom_textbox_label->setBuddy(custom_textbox);

  save = Button(this, "save", "Save", kClientWidth - 2 * (80 + 8) - 8);
  Button1 = Button(this, "Button1", "Cancel", kClientWidth - 80 - 16);
  setTabOrder(custom_textbox, save);
  setTabOrder(save, Button1);
  connect(save, &QPushButton::clicked, this, [this] { saveClick(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void Tcustom_text_form::ShowOver(QWidget& main_window) {
  // Without a transient parent the window system puts the dialog with a hidden
  // helper window, and a click on the main window hides the dialog behind it.
  winId();
  main_window.winId();
  windowHandle()->setTransientParent(main_window.windowHandle());
  show();
  raise();
  activateWindow();
}

void Tcustom_text_form::FormActivate() {
  custom_textbox->setText(ToQString(owner_.my_text()));
  custom_textbox->setFocus();
}

void Tcustom_text_form::saveClick() {
  owner_.my_text() = shared::Trim(custom_textbox->text().toStdString());
  try {
    platform::WriteProfileString(owner_.ini_path(), shared::SysConfig::Section,
                                 shared::SysConfig::MyTXT, owner_.my_text());
  } catch (const platform::Error& error) {
    // The dialog stays open with the typed text, so the user can try again or cancel.
    owner_.report_error(error.what());
    return;
  }
  close();
}

void Tcustom_text_form::Button1Click() {
  close();
}

bool Tcustom_text_form::custom_textboxKeyPress(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    saveClick();
    return true;
  }
  if (key == Qt::Key_Escape) {
    close();
    return true;
  }
  return false;
}

void Tcustom_text_form::FormClose() {
  // Whatever the redraw does, the main window must not stay disabled with no
  // dialog on screen.
  struct EnableOwner {
    MyTextOwner& owner;
    ~EnableOwner() { owner.set_main_window_enabled(true); }
  } enable_owner{owner_};
  try {
    owner_.preview_sample();
  } catch (const std::exception& error) {
    owner_.report_error(error.what());
  }
}

void Tcustom_text_form::showEvent(QShowEvent* event) {
  if (const QScreen* shown_on = screen())
    move(shown_on->availableGeometry().center() - rect().center());
  QWidget::showEvent(event);
  FormActivate();
}

void Tcustom_text_form::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  FormClose();
}

bool Tcustom_text_form::eventFilter(QObject* watched, QEvent* event) {
  if (watched == custom_textbox && event->type() == QEvent::KeyPress) {
    return custom_textboxKeyPress(static_cast<QKeyEvent*>(event)->key());
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace quorvel
