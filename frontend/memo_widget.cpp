#include "frontend/memo_widget.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "frontend/listed_pictures.h"
#include "frontend/qt_convert.h"

namespace quorvel {
namespace {

const QString kLinesName = QStringLiteral("quorvel-memo-lines");

class MemoLines : public QObject {
 public:
  explicit MemoLines(QPlainTextEdit* memo) : QObject(memo) { setObjectName(kLinesName); }
  ListedPictures pictures;
};

MemoLines* LinesOf(const QPlainTextEdit* memo) {
  return dynamic_cast<MemoLines*>(
      memo->findChild<QObject*>(kLinesName, Qt::FindDirectChildrenOnly));
}

MemoLines& MadeLinesOf(QPlainTextEdit* memo) {
  if (MemoLines* lines = LinesOf(memo)) return *lines;
  // Each removal of a line would otherwise be kept to be undone.
  memo->setUndoRedoEnabled(false);
  return *new MemoLines(memo);
}

// The characters that the text control takes for a break between lines, or
// shows as one: a path shows on one line, and the list keeps the path itself.
QString ShownLine(const std::string& line) {
  QString shown = ToQString(line);
  for (QChar& c : shown) {
    if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) ||
        c == QChar(0xFDD1))
      c = QChar::ReplacementCharacter;
  }
  return shown;
}

void RemoveRow(QTextCursor& cursor, const QTextBlock& block) {
  if (block.next().isValid()) {
    cursor.setPosition(block.position());
    cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
  } else if (block.previous().isValid()) {
    cursor.setPosition(block.position() - 1);
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
  } else {
    cursor.select(QTextCursor::Document);
  }
  cursor.removeSelectedText();
}

void RewriteRow(QTextCursor& cursor, const QTextBlock& block, const std::string& text) {
  cursor.setPosition(block.position());
  cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
  cursor.insertText(ShownLine(text));
}

}  // namespace

std::string MemoText(const QPlainTextEdit* memo) {
  const MemoLines* lines = LinesOf(memo);
  return lines ? lines->pictures.Text() : std::string();
}

void SetMemoText(QPlainTextEdit* memo, std::string_view text) {
  MemoLines& lines = MadeLinesOf(memo);
  lines.pictures = ListedPictures(text);
  QStringList shown;
  for (const auto& line : lines.pictures.Lines()) shown << ShownLine(line);
  memo->setPlainText(shown.join(QLatin1Char('\n')));
}

ListedPictures& MemoPictures(QPlainTextEdit* memo) {
  return MadeLinesOf(memo).pictures;
}

void ShowListChanges(QPlainTextEdit* memo) {
  const std::vector<ListChange> changes = MemoPictures(memo).TakeChanges();
  if (changes.empty()) return;
  QTextCursor cursor(memo->document());
  cursor.beginEditBlock();
  for (const ListChange& change : changes) {
    const QTextBlock block = memo->document()->findBlockByNumber(static_cast<int>(change.row));
    if (!block.isValid()) continue;
    if (change.text)
      RewriteRow(cursor, block, *change.text);
    else
      RemoveRow(cursor, block);
  }
  cursor.endEditBlock();
}

}  // namespace quorvel
