#pragma once
// Stands in for the runtime's text-to-number conversion (StrToInt).

#include <string_view>

namespace platform {

// A signed 32-bit decimal integer. Blanks (spaces) before it and a "+" or "-"
// sign are allowed; anything else, the empty text included, or a value outside
// the 32-bit range throws ConvertError naming the whole text.
int StrToInt(std::string_view text);

}  // namespace platform
