#pragma once
// The front-end's main window: every setting of the stamp lives in its
// controls and working values, and is mirrored into "sysconfig.ini".

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "frontend/control_events.h"
#include "frontend/custom_colors.h"
#include "frontend/dialogs.h"
#include "frontend/generator_process.h"
#include "frontend/my_text.h"
#include "frontend/report_queue.h"
#include "frontend/run_watch.h"
#include "frontend/settings_record.h"
#include "platform/bitmap.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "shared/names.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSocketNotifier;
class QTimer;

namespace platform {
class ProfileWriteError;
}

namespace quorvel {

class Clock;
class InstanceGuard;

struct StartOptions {
  std::string AppDir;  // the common folder, with a trailing "/"
  // The program's single-instance guard; none in tests, where many windows
  // live in one process.
  InstanceGuard* Guard = nullptr;
  bool RegisterWindow = true;
  // Where the preview takes the time from; the machine's clock when null.
  std::shared_ptr<const Clock> PreviewClock = nullptr;
};

enum class DateTab { Day, Month, Year, Time };

// The system fonts folder, without a trailing "/".
std::string get_windows_dir();

// The window answers its user-text dialog's needs itself (MyTextOwner).
class TForm1 : public QWidget, private MyTextOwner {
  Q_OBJECT

 public:
  TForm1(StartOptions options, Dialogs& dialogs);
  ~TForm1() override;

  // --- Areas and controls, by the names of the window's design.
  QFrame *main_menu, *top_line, *advance_panel, *line_split, *MainPanel;
  QLabel *img_open_picture, *open_picture_txt, *img_reset, *Label1, *img_help, *Label2;
  QLabel *custom_icon, *custom_txt, *sample_pic;
  QPlainTextEdit *Memo2, *tmp_list;
  QLabel *Label12, *Label3;
  ListBox *date_format, *border_margin;
  QFrame* Tab_button_Panel;
  QLabel *day_tab, *day_tab_grey, *month_tab, *month_tab_grey;
  QLabel *year_tab, *year_tab_grey, *time_tab, *time_tab_grey;
  QGroupBox *Day_GroupBox, *Month_GroupBox, *Year_GroupBox, *Time_GroupBox;
  QRadioButton *short_day, *long_day, *day_notshow;
  QRadioButton *short_month, *long_month, *numeric_month;
  ListBox* separated_txt;
  QRadioButton *short_year, *long_year;
  QRadioButton *NotShowSec, *ShowSec, *NotShowTime;
  QLabel* total_file;
  QPlainTextEdit* Memo1;
  QLabel* font_preview;
  QFrame *ColorPanel, *DropShadowPanel;
  QLabel* Label_Font;
  ListBox* ComboBox1;
  QLabel* Label_Size;
  ListBox* fs_list;
  QLabel* Label_TXTPosition;
  ListBox* txt_position;
  QCheckBox *drop_shadow_chk, *txt_bold, *txt_italic, *txt_underline, *txt_strikeout;
  QFrame* Panel_Sample_Preview;
  QLabel* bg;
  QProgressBar* ProgressBar1;
  QFrame* Panel_Bottom;
  QLabel *disk_output, *label_process, *label_path_output;
  QPushButton* Start_Imprint;

  // --- Dialogs and timers.
  ColorDialogState ColorDialog1, ColorDialog2;
  FileDialogSpec OpenDialog1;
  QTimer* Timer1;         // run watch, 10 ms
  QTimer* Timer_Preview;  // preview clock, 1000 ms
  // The user-text dialog, a window of its own, made with the window.
  std::unique_ptr<Tcustom_text_form> custom_text_form;

  // --- Working values.
  std::string DayStyle = "s";
  std::string MonthStyle = "s";
  std::string YearStyle;
  int MarginPercent = 0;
  std::uint32_t RgbValue = 0;
  std::uint8_t RgbRed = 0, RgbGreen = 0, RgbBlue = 0;
  std::string OutputPath;
  std::string MyTXT;
  std::string OverlayText;
  int ShadowOffset = 0;
  LoadedTexts Loaded;

  // --- Paths and start-up state.
  std::string AppDir, IniPath, HelpSiteAddress, WinFontsDir, FontPackPath;
  std::string GeneratorExe{shared::GeneratorExe};  // set again at every activation
  bool FirstActivate = false;
  // Opens the output folder, the fonts folder and the help page; tests watch it.
  std::function<void(const std::string&)> desktop_opener = platform::OpenWithDesktop;

  Dialogs& dialogs() { return dialogs_; }
  ControlEvents& events() { return events_; }
  // The window's entry in the window registry; null when it could not be made.
  platform::WindowRegistration* registration() { return registration_.get(); }
  // True when another copy already ran and this one only brought it forward.
  bool refused() const { return refused_; }
  // A run is in progress while the progress bar is shown (also before the
  // window itself is on screen).
  bool run_in_progress() const;

  // --- Start-up, activation, close.
  void FormCreate();
  void FormActivate();
  // An activation as the window gets it: errors are reported, not passed on.
  void activate() {
    events_.Guarded([this] { FormActivate(); });
  }
  void FormClose();
  // A close that nobody watches, as at the end of the desktop session: from
  // then on nothing is asked or told in a box; errors go to standard error.
  void close_unattended();
  void install_font();

  // --- Settings load and save.
  std::vector<std::string> load_ini();
  void checkbox_selected();
  void rec_ini();
  void output_path_showin_label();
  WindowSettings current_settings() const;

  // --- Colours.
  void get_color_now();
  void get_DropShadowColor_now();
  void rgb_color_now();
  static platform::ColorRef panel_color(const QWidget* panel);
  static void set_panel_color(QWidget* panel, platform::ColorRef colour);

  // --- Setting handlers.
  void ColorPanelClick();
  void DropShadowPanelClick();
  void ComboBox1Change();
  void ComboBox1CloseUp();
  void drop_shadow_chkClick();
  void txt_style();
  void fs_listCloseUp();
  void date_formatCloseUp();
  void border_marginChange();
  void short_dayClick();
  void long_dayClick();
  void day_notshowClick();
  void short_monthClick();
  void long_monthClick();
  void numeric_monthClick();
  void separated_txtChange();
  void separated_txtCloseUp();
  void short_yearClick();
  void long_yearClick();
  void NotShowSecClick();
  void ShowSecClick();
  void NotShowTimeClick();
  void day_tab_greyClick();
  void month_tab_greyClick();
  void year_tab_greyClick();
  void time_tab_greyClick();
  void FormClick();
  void select_tab(DateTab tab);

  // --- Preview.
  void Get_Time_Now();
  void Timer_PreviewTimer();
  void preview_sample() override;
  void Load_Sample_pic();
  void txt_positionChange();
  void fs_listChange();
  void date_formatChange();

  // --- Picture list.
  void img_open_pictureClick();
  void Memo1Click();
  void img_resetClick();

  // --- Run.
  void Start_ImprintClick();
  void create_tmp_file();
  void CopyData(std::string payload);
  void CheckFile_finish();
  void Timer1Timer();
  // The status line in its colour; the idle one is "Status".
  void show_status(const StatusLine& status);
  void show_idle_status();
  const ReportQueue& report_queue() const { return reports_; }
  // Tests stand in for the generator's process with this.
  void set_generator_process(std::unique_ptr<GeneratorProcess> process);

  // --- Folders, fonts folder, help, user text.
  void disk_outputClick();
  void label_path_outputClick();
  void Label_FontClick();
  void img_helpClick();
  void custom_iconClick();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BindControls();
  void BindEvents();
  void BindTabs();
  void RegisterWindow();
  void RestoreFromMinimised();
  void FirstActivation();
  void FillFontList();
  void ApplyLoaded(const LoadedSettings& loaded);
  void ApplyStartSelections();
  void report_load_problems(const std::vector<std::string>& problems);
  void save_redraw();
  void pick_color(QFrame* panel, ColorDialogState& dialog);
  void set_emphasis(QRadioButton* button, bool emphasised);
  void save_redraw_focus();
  void focus_imprint();
  // Throws: `error` itself the first time, then AlreadyReported.
  [[noreturn]] void report_save_failure(const platform::ProfileWriteError& error);
  void end_run(const RunVerdict& verdict);
  const platform::Bitmap& sample_bitmap();
  // What the user-text dialog needs of the window.
  std::string& my_text() override { return MyTXT; }
  const std::string& ini_path() const override { return IniPath; }
  void set_main_window_enabled(bool enabled) override { setEnabled(enabled); }
  // An error no handler caught, also the user-text dialog's.
  void report_error(const std::string& message) override;

  StartOptions options_;
  Dialogs& dialogs_;
  ControlEvents events_;
  std::unique_ptr<platform::WindowRegistration> registration_;
  QSocketNotifier* registration_notifier_ = nullptr;
  bool refused_ = false;
  bool activation_scheduled_ = false;
  bool save_failing_ = false;
  bool unattended_ = false;
  std::unique_ptr<GeneratorProcess> generator_ = MakeSystemGeneratorProcess();
  std::optional<RunWatch> run_watch_;  // set while a run is on
  ReportQueue reports_;                // the generator's reports, in or outside a run
  std::size_t last_pass_settled_ = 0;  // reports the last pass over the queue settled
  std::shared_ptr<const Clock> preview_clock_;
  platform::Bitmap sample_bitmap_;  // the sample picture as the text engine draws on it
};

// The program: the single-instance guard, the main window, the message loop.
int front_end_main(int argc, char** argv);

}  // namespace quorvel
