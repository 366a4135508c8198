// The picture list: adding, clicking into it, emptying it.
#include <QLabel>
#include <QPlainTextEdit>

#include "frontend/Unit1.h"
#include "frontend/memo_text.h"
#include "frontend/memo_widget.h"
#include "frontend/picture_list_merge.h"
#include "frontend/qt_convert.h"
#include "shared/helpers.h"

namespace quorvel {

namespace {

constexpr std::string_view kRemoveAllQuestion = "Remove all files from the list?";
constexpr std::string_view kConfirmTitle = "Confirm";

std::string RefusedPathsMessage(const std::vector<std::string>& refused) {
  std::string message =
      "These files were not added: a name that holds a line break cannot be "
      "listed.";
  for (const auto& path : refused) message += "\n" + path;
  return message;
}

}  // namespace

void TForm1::img_open_pictureClick() {
  if (run_in_progress()) return;
  const std::vector<std::string> picked = dialogs_.OpenFiles(OpenDialog1);
  if (!picked.empty()) {
    tmp_list->setPlainText(ToQString(shared::Trim(JoinLines(picked))));
    const PictureListMerge merge = MergePickedPictures(MemoText(Memo1), picked);
    SetMemoText(Memo1, merge.list_text);
    focus_imprint();
    if (!merge.refused.empty()) dialogs_.ShowMessage(RefusedPathsMessage(merge.refused));
  }
  tmp_list->clear();
  total_file->setText(ToQString(TotalFilesCaption(MemoText(Memo1))));
}

void TForm1::Memo1Click() {
  if (CountLines(MemoText(Memo1)) == 0) {
    img_open_pictureClick();
  } else {
    focus_imprint();
  }
}

void TForm1::img_resetClick() {
  if (run_in_progress()) return;
  if (CountLines(MemoText(Memo1)) == 0) return;
  if (!dialogs_.Confirm(std::string(kConfirmTitle), std::string(kRemoveAllQuestion))) return;
  total_file->clear();
  SetMemoText(Memo1, "");
  reports_.Clear();
}

}  // namespace quorvel
