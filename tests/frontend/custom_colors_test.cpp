#include "frontend/custom_colors.h"

#include <gtest/gtest.h>

namespace {

using quorvel::ColorDialogState;
using quorvel::CustomSlot;
using quorvel::CustomSlots;

TEST(CustomColors, SlotTextReadsBackAsTheSameSlot) {
  struct Case {
    std::string text;
    CustomSlot slot;
    std::string written;  // what a confirmed dialog writes for it
  };
  const Case cases[] = {
      {"", std::nullopt, "FFFFFFFF"},
      {"FFFFFFFF", std::nullopt, "FFFFFFFF"},
      {"4080FF", 0x4080FF, "4080FF"},
      {"4080ff", 0x4080FF, "4080FF"},
      {"0", 0, "000000"},
      {"FF", 0xFF, "0000FF"},
      {"00FFFFFF", 0xFFFFFF, "FFFFFF"},
      {"zz", std::nullopt, "FFFFFFFF"},       // hand-edited: not hexadecimal
      {"#4080FF", std::nullopt, "FFFFFFFF"},  // a prefix is not written, not read
      {" 4080FF", std::nullopt, "FFFFFFFF"},
      {"1000000", std::nullopt, "FFFFFFFF"},  // beyond 24 bits is no colour
      {"123456789", std::nullopt, "FFFFFFFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(quorvel::ParseSlotText(c.text), c.slot);
    EXPECT_EQ(quorvel::SlotText(c.slot), c.written);
  }
}

TEST(CustomColors, DialogListGivesSlotsByNameAndConfirmRewritesAllSixteen) {
  ColorDialogState dialog;
  dialog.CustomColors = {"ColorB=00FF00", "ColorA=", "ColorB=123456", "ColorP=bogus"};
  const CustomSlots read = dialog.Slots();
  EXPECT_EQ(read[0], std::nullopt);
  EXPECT_EQ(read[1], CustomSlot(0x00FF00));  // the first line of a name counts
  EXPECT_EQ(read[15], std::nullopt);
  EXPECT_EQ(dialog.SlotValue(15), "bogus");  // kept as stored until a confirm
  EXPECT_EQ(dialog.SlotValue(2), "");

  CustomSlots chosen = read;
  chosen[3] = 0xABCDEF;
  dialog.SetSlots(chosen);
  ASSERT_EQ(dialog.CustomColors.size(), 16u);
  EXPECT_EQ(dialog.CustomColors[0], "ColorA=FFFFFFFF");
  EXPECT_EQ(dialog.CustomColors[1], "ColorB=00FF00");
  EXPECT_EQ(dialog.CustomColors[3], "ColorD=ABCDEF");
  EXPECT_EQ(dialog.CustomColors[15], "ColorP=FFFFFFFF");
  EXPECT_EQ(dialog.Slots(), chosen);
}

}  // namespace
