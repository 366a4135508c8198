// The output folder, the fonts folder, the help page and the user's own text.
#include <QWidget>

#include "frontend/Unit1.h"
#include "frontend/folder_browser.h"
#include "frontend/output_folder.h"

namespace quorvel {

namespace {

constexpr char kOutputFolderTitle[] = "Select Output Path:";
constexpr char kHelpPage[] = "software/?i=Quorvel";

}  // namespace

void TForm1::disk_outputClick() {
  const std::string old = OutputPath;
  const std::string chosen = browse_for_folder(dialogs_, kOutputFolderTitle, old);
  OutputPath = OutputFolderFromChoice(chosen, old);
  // Also after a cancel: the save shows the label again.
  rec_ini();
}

void TForm1::label_path_outputClick() {
  desktop_opener(OutputPath);
}

void TForm1::Label_FontClick() {
  desktop_opener(WinFontsDir);
}

// Help is a convenience: nothing that goes wrong on the way is worth a message.
void TForm1::img_helpClick() {
  try {
    desktop_opener(HelpSiteAddress + kHelpPage);
  } catch (...) {
  }
}

// No modal loop: the main window's clock and run watch keep going while the
// user types, and the dialog's close gives the window back.
void TForm1::custom_iconClick() {
  setEnabled(false);
  custom_text_form->ShowOver(*this);
}

}  // namespace quorvel
