#include "frontend/memo_widget.h"

#include <QPlainTextEdit>

#include "frontend/memo_text.h"
#include "frontend/qt_convert.h"

namespace quorvel {

std::string MemoText(const QPlainTextEdit* memo) {
  std::string text;
  for (const char c : memo->toPlainText().toStdString()) {
    if (c == '\n')
      text += kLineBreak;
    else
      text += c;
  }
  return text;
}

// A lone CR would show as a line of its own in the memo but not in the list.
void SetMemoText(QPlainTextEdit* memo, std::string_view text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      plain += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      plain += text[i];
    }
  }
  memo->setPlainText(ToQString(plain));
}

}  // namespace quorvel
