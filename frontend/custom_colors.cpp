#include "frontend/custom_colors.h"

#include <cstdint>
#include <cstdio>

namespace quorvel {

namespace {

constexpr std::uint32_t kUnsetSlotValue = 0xFFFFFFFFu;
constexpr std::size_t kMaxHexDigits = 8;

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string SlotName(std::size_t slot) {
  return "Color" + std::string(1, static_cast<char>('A' + slot));
}

std::string SlotText(const CustomSlot& slot) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", slot ? *slot : kUnsetSlotValue);
  return text;
}

CustomSlot ParseSlotText(std::string_view text) {
  if (text.empty() || text.size() > kMaxHexDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  if (value > 0xFFFFFFu) return std::nullopt;
  return value;
}

std::string ValueOfName(const std::vector<std::string>& lines, std::string_view name) {
  for (const auto& line : lines) {
    if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 &&
        line[name.size()] == '=')
      return line.substr(name.size() + 1);
  }
  return {};
}

CustomSlots ColorDialogState::Slots() const {
  CustomSlots slot_values;
  for (std::size_t i = 0; i < kCustomColorSlots; ++i) slot_values[i] = ParseSlotText(SlotValue(i));
  return slot_values;
}

void ColorDialogState::SetSlots(const CustomSlots& slot_values) {
  CustomColors.clear();
  for (std::size_t i = 0; i < kCustomColorSlots; ++i)
    CustomColors.push_back(SlotName(i) + "=" + SlotText(slot_values[i]));
}

}  // namespace quorvel
