#pragma once
// A colour dialog as the window keeps it between openings: its colour and its
// 16 custom colour slots, held as the lines "ColorA=..." to "ColorP=..." that
// the settings file stores. The dialog itself (Qt) sees the slots as colours;
// the conversion between the two forms lives here, free of Qt.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bitmap.h"

namespace quorvel {

inline constexpr std::size_t kCustomColorSlots = 16;

// A slot without a colour is kept apart from every real colour: nullopt.
using CustomSlot = std::optional<platform::ColorRef>;
using CustomSlots = std::array<CustomSlot, kCustomColorSlots>;

// "ColorA" ... "ColorP": the names of the slots inside a dialog's list.
std::string SlotName(std::size_t slot);

// The slot's text as a confirmed dialog writes it: upper-case hexadecimal,
// at least six digits; an unset slot is all bits set, "FFFFFFFF".
std::string SlotText(const CustomSlot& slot);

// The slot a text stands for. Empty, "FFFFFFFF", and anything that is not a
// 24-bit colour in hexadecimal (only a hand-edited file holds one) give an
// unset slot, so that the dialog always opens.
CustomSlot ParseSlotText(std::string_view text);

// The value of the first line "name=value" in `lines`; "" when none has the name.
std::string ValueOfName(const std::vector<std::string>& lines, std::string_view name);

struct ColorDialogState {
  platform::ColorRef Color = 0;
  std::vector<std::string> CustomColors;  // lines "ColorA=..." in the order added

  // The slots as the dialog opens with them.
  CustomSlots Slots() const;
  // After a confirmed dialog: all 16 lines rewritten from the slots.
  void SetSlots(const CustomSlots& slot_values);
  // The text of slot `slot` as the settings file gets it.
  std::string SlotValue(std::size_t slot) const {
    return ValueOfName(CustomColors, SlotName(slot));
  }
};

}  // namespace quorvel
