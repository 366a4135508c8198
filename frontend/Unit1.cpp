#include "frontend/Unit1.h"

#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "frontend/CheckPrevious.h"
#include "frontend/artwork.h"
#include "frontend/main_window_layout.h"
#include "frontend/qt_convert.h"
#include "frontend/qt_dialogs.h"
#include "frontend/termination_signals.h"
#include "platform/desktop_fonts.h"
#include "platform/errors.h"
#include "platform/own_program_file.h"
#include "shared/helpers.h"
#include "shared/names.h"
#include "shared/sysconfig.h"

namespace quorvel {

namespace {

constexpr int kClientWidth = 796;
constexpr int kClientHeight = 562;
constexpr std::string_view kHelpSiteAddress = "https://www.quorvel.example/";
constexpr std::string_view kFontPackName = "package/Fenwyn.pack";

}  // namespace

std::string get_windows_dir() {
  return "/usr/share/fonts";
}

TForm1::TForm1(StartOptions options, Dialogs& dialogs)
    : options_(std::move(options)),
      dialogs_(dialogs),
      events_([this](const std::string& message) { report_error(message); }) {
  setObjectName("Form1");
  QFont window_font(QStringLiteral("MS Sans Serif"));
  window_font.setPixelSize(11);
  setFont(window_font);
  QPalette ground = palette();
  ground.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
  // The style's grey for disabled text is the silver of the ground; the
  // captions of locked controls must stay readable during a run.
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    ground.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
  setPalette(ground);
  setAutoFillBackground(true);
  resize(kClientWidth, kClientHeight);
  setMinimumSize(kClientWidth, kClientHeight);
  // The controls find their pictures, the sample among them, by resource path.
  InitArtwork();
  setWindowIcon(QIcon(ArtworkPath("app_icon.png")));
  BuildMainWindowControls(this);
  BindControls();
  ColorDialog1.Color = kDefaultTextColour;
  ColorDialog2.Color = 0;
  OpenDialog1 = {"Add Pictures", "JPEG (*.JPG;*.JPEG;*.JPE)|*.JPG;*.JPEG;*.JPE"};
  Timer1 = new QTimer(this);
  Timer1->setInterval(10);
  Timer_Preview = new QTimer(this);
  Timer_Preview->setInterval(1000);
  BindEvents();
  custom_text_form = std::make_unique<Tcustom_text_form>(static_cast<MyTextOwner&>(*this));
  events_.Guarded([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
  if (options_.RegisterWindow) RegisterWindow();
  if (options_.Guard && registration_ &&
      restore_if_running(*options_.Guard, registration_->handle(), 1)) {
    refused_ = true;
    // The first copy's window is the one the generator must find.
    delete registration_notifier_;
    registration_notifier_ = nullptr;
    registration_.reset();
    // A start that brought nothing forward has failed, which a script must see.
    const int exit_code = options_.Guard->holder_silent() ? 1 : 0;
    QTimer::singleShot(0, qApp, [exit_code] { QCoreApplication::exit(exit_code); });
  }
  QApplication::setApplicationName(ToQString(shared::FrontEndCaption));
  setWindowTitle(ToQString(shared::FrontEndCaption));
  AppDir = options_.AppDir;
  IniPath = AppDir + std::string(shared::SysConfig::FileName);
  HelpSiteAddress = kHelpSiteAddress;
  FirstActivate = true;
  WinFontsDir = get_windows_dir() + "/";
  install_font();
}

void TForm1::install_font() {
  FontPackPath = AppDir + std::string(kFontPackName);
  platform::AddDesktopFont(FontPackPath);
}

void TForm1::RegisterWindow() {
  try {
    registration_ = std::make_unique<platform::WindowRegistration>(shared::MainWindowClass,
                                                                   shared::FrontEndCaption);
  } catch (const platform::Error& error) {
    dialogs_.ShowError(error.what());
    return;
  }
  registration_->on_copy_data(
      [this](platform::WindowHandle, std::uint32_t, std::vector<std::byte> bytes) {
        std::string payload(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        payload = payload.substr(0, payload.find('\0'));
        events_.Guarded([this, &payload] { CopyData(payload); });
      });
  registration_->on_is_minimised([this] { return isMinimized(); });
  registration_->on_restore([this] { RestoreFromMinimised(); });
  registration_->on_raise([this] {
    raise();
    activateWindow();
  });
  registration_notifier_ = new QSocketNotifier(registration_->fd(), QSocketNotifier::Read, this);
  connect(registration_notifier_, &QSocketNotifier::activated, this, [this] {
    events_.Guarded([this] {
      if (registration_) registration_->DispatchPending();
    });
  });
}

// Back to the state before minimising: a maximised window comes back maximised.
void TForm1::RestoreFromMinimised() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) activate();
  return QWidget::event(event);
}

// Some platforms (offscreen, a bare X server) never activate the window; the
// first activation's set-up must run all the same.
void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (activation_scheduled_) return;
  activation_scheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    if (FirstActivate) activate();
  });
}

void TForm1::FormActivate() {
  GeneratorExe = shared::GeneratorExe;
  // A copy that only brought the first one forward must leave its settings alone.
  if (FirstActivate && !refused_) {
    // Cleared first: a set-up that fails is reported once, not at every activation.
    FirstActivate = false;
    FirstActivation();
  }
  FirstActivate = false;
}

void TForm1::FirstActivation() {
  Load_Sample_pic();
  FillFontList();
  date_format->setCurrentIndex(0);
  ComboBox1->setCurrentIndex(0);
  std::vector<std::string> load_problems;
  if (std::filesystem::exists(IniPath)) {
    load_problems = load_ini();
    set_panel_color(ColorPanel, ColorDialog1.Color);
    set_panel_color(DropShadowPanel, ColorDialog2.Color);
    checkbox_selected();
  }
  QFont face = font_preview->font();
  face.setFamily(ComboBox1->currentText());
  font_preview->setFont(face);
  QPalette colours = font_preview->palette();
  colours.setColor(QPalette::WindowText, ColorPanel->palette().color(QPalette::Window));
  font_preview->setPalette(colours);
  ApplyStartSelections();
  preview_sample();
  report_load_problems(load_problems);
  txt_style();
}

void TForm1::report_load_problems(const std::vector<std::string>& problems) {
  if (problems.empty()) return;
  std::string message = IniPath + ":";
  for (const auto& problem : problems) message += "\n" + problem;
  dialogs_.ShowError(message);
}

void TForm1::ApplyStartSelections() {
  const auto index_or = [](const std::string& text, int fallback) {
    return !text.empty() && shared::IsAllDigits(text) && text.size() < 9 ? std::stoi(text)
                                                                         : fallback;
  };
  SelectIndex(txt_position, index_or(Loaded.TxtPosition, 8));
  SelectIndex(fs_list, index_or(Loaded.StampSize, 1));
}

void TForm1::FillFontList() {
  std::vector<std::string> names = platform::InstalledFontFamilies();
  names.emplace_back("Default");
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return QString::compare(ToQString(a), ToQString(b), Qt::CaseInsensitive) < 0;
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  ComboBox1->clear();
  for (const auto& name : names) ComboBox1->addItem(ToQString(name));
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

void TForm1::close_unattended() {
  unattended_ = true;
  close();
}

// A box would hold up the end that an unattended close promises.
void TForm1::report_error(const std::string& message) {
  if (unattended_)
    std::cerr << message << '\n';
  else
    dialogs_.ShowError(message);
}

// A refused copy registered the same file as the first copy, which still uses
// it, and leaves the settings to it; a window never set up has none to save.
void TForm1::FormClose() {
  if (!FirstActivate && !refused_) events_.Guarded([this] { rec_ini(); });
  if (!FontPackPath.empty() && !refused_) platform::RemoveDesktopFont(FontPackPath);
}

int front_end_main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::string block_name, app_dir;
  try {
    block_name = ProgramBlockName();
    app_dir = platform::OwnProgramFolder();
  } catch (const platform::OwnFolderNotFoundError& error) {
    // Any other folder's settings are not ours to write.
    std::cerr << "Quorvel: " << error.what() << '\n';
    return 1;
  }
  QtDialogs dialogs;
  // Made before the window and so gone after it: the slot is given back once
  // the window has closed, also when a termination signal closed it.
  InstanceGuard guard(block_name);
  TForm1 form(StartOptions{.AppDir = app_dir, .Guard = &guard}, dialogs);
  TerminationSignals termination([&form] { form.close_unattended(); });
  form.showMaximized();
  return QApplication::exec();
}

}  // namespace quorvel
