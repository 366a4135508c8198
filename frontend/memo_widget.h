#pragma once
// The text of a memo control as the Qt-free list helpers want it: lines
// separated by CR LF, as the picture list file and the report queue hold them.

#include <string>
#include <string_view>

class QPlainTextEdit;

namespace quorvel {

std::string MemoText(const QPlainTextEdit* memo);
void SetMemoText(QPlainTextEdit* memo, std::string_view text);

}  // namespace quorvel
