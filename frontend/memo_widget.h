#pragma once
// The picture list memo: the list's lines are kept beside the control, byte
// for byte as they were set, and the control only shows them. Its own text
// would not do: reading it back turns a no-break space into a blank and the
// line and paragraph separators into line breaks.

#include <string>
#include <string_view>

class QPlainTextEdit;

namespace quorvel {

class ListedPictures;

// The lines separated by CR LF, as the picture list file and the report queue
// hold them.
std::string MemoText(const QPlainTextEdit* memo);
void SetMemoText(QPlainTextEdit* memo, std::string_view text);

// The lines themselves, for a run to settle; ShowListChanges then brings the
// control up to date, line by line rather than as a whole.
ListedPictures& MemoPictures(QPlainTextEdit* memo);
void ShowListChanges(QPlainTextEdit* memo);

}  // namespace quorvel
