#pragma once
// The picture list and the report queue are texts of lines, kept exactly as the
// window's text boxes hold them. These helpers read and rebuild such texts
// without any window, so the run logic can be tested on its own.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

inline constexpr std::string_view kLineBreak = "\r\n";

// The lines of a text box: a line ends at CR LF, a lone LF or a lone CR; a
// break at the very end gives no extra line, and the empty text has no line.
std::vector<std::string> SplitLines(std::string_view text);

// The lines joined by CR LF, without a break after the last.
std::string JoinLines(const std::vector<std::string>& lines);

// The number of lines SplitLines finds.
std::size_t CountLines(std::string_view text);

// The line at `index`, or the empty text when the text has fewer lines.
std::string LineAt(std::string_view text, std::size_t index);

// A text that is empty once trimmed, such as a list of blanks and line breaks.
bool IsBlankText(std::string_view text);

// The text trimmed, with every line for which `drop` is true and every blank
// line left out, and trimmed again.
std::string WithoutLines(std::string_view text, const std::function<bool(std::string_view)>& drop);

}  // namespace quorvel
