#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/idle_faces.h"
#include "platform/text.h"
#include "platform/text_engine.h"
#include "support/fake_frontend.h"
#include "support/temp_dir.h"

namespace {

using platform::Bitmap;
using platform::ColorRef;
using platform::Font;
using platform::FontSpec;
using platform::MakeColorRef;

constexpr const char* kSans = "DejaVu Sans";
// A family with a single upright, regular face: bold and italic are synthesised.
constexpr const char* kSingleFace = "DejaVu Math TeX Gyre";
const ColorRef kInk = MakeColorRef(200, 40, 90);

// Font lookup reads the per-user font registry: point it at an empty folder.
class TextFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Font({kSans, 20}).file().find("DejaVuSans.ttf") == std::string::npos) {
      GTEST_SKIP() << "DejaVu Sans (fonts-dejavu-core) is not installed";
    }
  }

 private:
  testing_support::ScopedRuntimeDir runtime_;
};

// A background where every pixel differs from its neighbours, so that any
// painting shows.
Bitmap Background(int width, int height) {
  Bitmap bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = bitmap.row(y) + x * 3;
      p[0] = static_cast<std::uint8_t>(x * 7 + y);
      p[1] = static_cast<std::uint8_t>(100 + (x + y) % 50);
      p[2] = static_cast<std::uint8_t>(y * 3);
    }
  }
  return bitmap;
}

struct Box {
  int left = std::numeric_limits<int>::max(), top = std::numeric_limits<int>::max();
  int right = std::numeric_limits<int>::min(), bottom = std::numeric_limits<int>::min();
  int count = 0;  // changed pixels; the box holds them, right and bottom exclusive
};

Box Changed(const Bitmap& before, const Bitmap& after) {
  Box box;
  for (int y = 0; y < before.height; ++y) {
    for (int x = 0; x < before.width; ++x) {
      const std::uint8_t* a = before.row(y) + x * 3;
      const std::uint8_t* b = after.row(y) + x * 3;
      if (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) continue;
      ++box.count;
      box.left = std::min(box.left, x), box.right = std::max(box.right, x + 1);
      box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y + 1);
    }
  }
  return box;
}

int CountColour(const Bitmap& bitmap, ColorRef colour) {
  int count = 0;
  for (std::size_t i = 0; i < bitmap.pixels.size(); i += 3) {
    count += bitmap.pixels[i] == platform::RedOf(colour) &&
             bitmap.pixels[i + 1] == platform::GreenOf(colour) &&
             bitmap.pixels[i + 2] == platform::BlueOf(colour);
  }
  return count;
}

Bitmap DrawnOn(const Bitmap& background, const FontSpec& spec, std::int64_t x, std::int64_t y,
               std::string_view text) {
  Bitmap bitmap = background;
  Font(spec).Draw(bitmap, x, y, text, kInk);
  return bitmap;
}

TEST_F(TextFontTest, MeasureAddsAdvancesAndKeepsTheCellHeight) {
  const Font font({kSans, 40});
  const auto a = font.Measure("A");
  const auto av = font.Measure("AV");
  EXPECT_GT(a.width, 0);
  EXPECT_EQ(av.width, a.width + font.Measure("V").width) << "no kerning";
  EXPECT_GT(font.Measure("AVA").width, av.width);
  EXPECT_EQ(a.height, font.ascent() + font.descent());
  EXPECT_GE(a.height, 40);
  EXPECT_EQ(font.Measure("g").height, a.height);
  EXPECT_EQ(font.Measure("").width, 0);
  EXPECT_EQ(font.Measure("").height, a.height);
}

TEST_F(TextFontTest, HeightZeroIsTheDefaultAndNegativeCountsAsPositive) {
  const auto default_extent = Font({kSans, 0}).Measure("Hello");
  EXPECT_EQ(default_extent.width,
            Font({kSans, platform::kDefaultCharHeight}).Measure("Hello").width);
  EXPECT_EQ(default_extent.height,
            Font({kSans, platform::kDefaultCharHeight}).Measure("Hello").height);
  const auto negative = Font({kSans, -30}).Measure("Hello");
  EXPECT_EQ(negative.width, Font({kSans, 30}).Measure("Hello").width);
  EXPECT_EQ(negative.height, Font({kSans, 30}).Measure("Hello").height);
}

TEST_F(TextFontTest, DrawPaintsOnlyGlyphsInsideTheCellInTheExactColour) {
  const Bitmap background = Background(400, 120);
  const FontSpec spec{kSans, 48};
  const std::string text = "Hg 2025:07";
  const auto extent = Font(spec).Measure(text);
  const Bitmap drawn = DrawnOn(background, spec, 20, 30, text);
  const Box box = Changed(background, drawn);
  ASSERT_GT(box.count, 200);
  EXPECT_GE(box.left, 20 - 1);
  EXPECT_LE(box.right, 20 + extent.width + 1);
  EXPECT_GE(box.top, 30);
  EXPECT_LE(box.bottom, 30 + extent.height);
  EXPECT_GT(CountColour(drawn, kInk), 100) << "fully covered pixels take the colour itself";
  // Transparent: the background shows between the glyphs.
  EXPECT_LT(box.count, extent.width * extent.height / 2);
}

TEST_F(TextFontTest, EachStyleChangesThePicture) {
  const std::string text = "Test";
  const FontSpec plain{kSingleFace, 40};
  const auto extent = Font(plain).Measure(text);
  const Bitmap background = Background(300, extent.height + 20);
  const Bitmap plain_drawn = DrawnOn(background, plain, 10, 10, text);
  struct Case {
    const char* name;
    FontSpec spec;
  };
  const Case cases[] = {
      {"bold", {kSingleFace, 40, true}},
      {"italic", {kSingleFace, 40, false, true}},
      {"underline", {kSingleFace, 40, false, false, true}},
      {"strikeout", {kSingleFace, 40, false, false, false, true}},
  };
  for (const Case& c : cases) {
    const Font font(c.spec);
    EXPECT_EQ(font.file(), Font(plain).file()) << c.name << ": the family's only face";
    const Bitmap styled = DrawnOn(background, c.spec, 10, 10, text);
    EXPECT_GT(Changed(plain_drawn, styled).count, 20) << c.name;
    const Box box = Changed(background, styled);
    const int overhang = c.spec.italic ? extent.height / 4 : 2;
    EXPECT_GE(box.left, 10 - overhang) << c.name;
    EXPECT_LE(box.right, 10 + font.Measure(text).width + overhang) << c.name;
    EXPECT_GE(box.top, 10) << c.name;
    EXPECT_LE(box.bottom, 10 + extent.height) << c.name;
  }
  EXPECT_GT(Font(cases[0].spec).Measure(text).width, extent.width) << "bold is wider";
}

// A stroke row is painted over the whole advance width, also between glyphs.
TEST_F(TextFontTest, UnderlineAndStrikeoutSpanTheText) {
  const Bitmap background = Background(300, 80);
  const std::string text = "i i";
  for (const bool underline : {true, false}) {
    const FontSpec spec{kSans, 40, false, false, underline, !underline};
    const Font font(spec);
    const auto extent = font.Measure(text);
    const Bitmap drawn = DrawnOn(background, spec, 10, 10, text);
    int full_rows = 0;
    for (int y = 10; y < 10 + extent.height; ++y) {
      int inked = 0;
      for (int x = 10; x < 10 + extent.width; ++x) {
        const std::uint8_t* p = drawn.row(y) + x * 3;
        inked += p[0] == 200 && p[1] == 40 && p[2] == 90;
      }
      if (inked == extent.width) {
        ++full_rows;
        const int baseline = 10 + font.ascent();
        if (underline) {
          EXPECT_GE(y, baseline);
        } else {
          EXPECT_LT(y, baseline);
        }
      }
    }
    EXPECT_GE(full_rows, 1) << (underline ? "underline" : "strike-out");
  }
}

TEST_F(TextFontTest, ClipsAtEveryEdgeAndIgnoresFarCoordinates) {
  const Bitmap background = Background(120, 60);
  const FontSpec spec{kSans, 50, true, true, true, true};
  const std::string text = "WgW";
  const auto extent = Font(spec).Measure(text);
  const std::int64_t partly[][2] = {
      {-extent.width / 2, 5}, {100, 5}, {10, -extent.height / 2}, {10, 40}, {-20, -20}, {90, 40}};
  for (const auto& at : partly) {
    const Box box = Changed(background, DrawnOn(background, spec, at[0], at[1], text));
    EXPECT_GT(box.count, 0) << at[0] << "," << at[1];
  }
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  const std::int64_t outside[][2] = {{kMax, 0},
                                     {kMin, 0},
                                     {0, kMax},
                                     {0, kMin},
                                     {kMax, kMax},
                                     {kMin, kMin},
                                     {1LL << 40, 0},
                                     {-(1LL << 40), 0},
                                     {0, 1LL << 33},
                                     {-extent.width - 20, 0},
                                     {0, -extent.height - 1},
                                     {121, 0}};
  for (const auto& at : outside) {
    EXPECT_EQ(Changed(background, DrawnOn(background, spec, at[0], at[1], text)).count, 0)
        << at[0] << "," << at[1];
  }
  Bitmap tiny = Background(1, 1);
  Font(spec).Draw(tiny, -5, -5, text, kInk);
  Bitmap empty;
  Font(spec).Draw(empty, 0, 0, text, kInk);
  Bitmap inconsistent = Background(100, 50);
  inconsistent.height = 5000;
  Font(spec).Draw(inconsistent, 0, 0, text, kInk);
}

TEST_F(TextFontTest, InvalidUtf8IsDrawnAsLatin1) {
  const Font font({kSans, 30});
  const std::string latin1 = "caf\xE9 \xFF";
  const std::string utf8 = "caf\xC3\xA9 \xC3\xBF";
  EXPECT_EQ(font.Measure(latin1).width, font.Measure(utf8).width);
  EXPECT_GT(font.Measure(latin1).width, font.Measure("caf ").width);
  const Bitmap background = Background(200, 50);
  const Bitmap from_latin1 = DrawnOn(background, {kSans, 30}, 5, 5, latin1);
  EXPECT_GT(Changed(background, from_latin1).count, 0);
  EXPECT_EQ(Changed(from_latin1, DrawnOn(background, {kSans, 30}, 5, 5, utf8)).count, 0);
}

// U+10FFFD is a private-use code point that no font maps: the face's own
// missing-glyph symbol stands for it.
TEST_F(TextFontTest, CharactersTheFaceLacksComeFromAFontThatHasThem) {
  if (Font({"Droid Sans Fallback", 20}).file().find("DroidSans") == std::string::npos) {
    GTEST_SKIP() << "Droid Sans Fallback (fonts-droid-fallback) is not installed";
  }
  const Bitmap background = Background(200, 60);
  const std::pair<const char*, const char*> cases[] = {{kSans, "\u6771\u4EAC\u90FD"},
                                                       {"Droid Sans Fallback", "Zo\u00EB"}};
  for (const auto& [face, text] : cases) {
    const Bitmap missing = DrawnOn(background, {face, 30}, 5, 5, "\U0010FFFD\U0010FFFD\U0010FFFD");
    EXPECT_GT(Changed(missing, DrawnOn(background, {face, 30}, 5, 5, text)).count, 100) << face;
  }
}

TEST_F(TextFontTest, FaceLookupFallsBackAndCutsLongNames) {
  const Font unknown({"No Such Face Anywhere", 20});
  EXPECT_TRUE(std::filesystem::exists(unknown.file()));
  EXPECT_GT(unknown.Measure("abc").width, 0);
  EXPECT_TRUE(std::filesystem::exists(Font({"", 20}).file()));

  // fontconfig ignores blanks in family names: only the cut at 31 bytes makes
  // this name the single-face family rather than an unknown one.
  const std::string padded = std::string(kSingleFace) + std::string(11, ' ');
  ASSERT_EQ(padded.size(), platform::kMaxFaceNameBytes);
  const std::string single_file = Font({kSingleFace, 20}).file();
  EXPECT_NE(Font({std::string(kSingleFace) + "X", 20}).file(), single_file);
  EXPECT_EQ(Font({padded + "X", 20}).file(), single_file);
}

TEST_F(TextFontTest, RealBoldAndItalicFacesAreChosen) {
  EXPECT_NE(Font({kSans, 20, true}).file().find("DejaVuSans-Bold.ttf"), std::string::npos);
  EXPECT_NE(Font({kSans, 20, false, true}).file().find("DejaVuSans-Oblique.ttf"),
            std::string::npos);
}

TEST_F(TextFontTest, LargeHeightsDraw) {
  const Bitmap background = Background(2000, 1500);
  const FontSpec spec{kSans, 1200, true};
  const auto extent = Font(spec).Measure("8");
  EXPECT_GE(extent.height, 1200);
  const Bitmap drawn = DrawnOn(background, spec, 100, 100, "8");
  EXPECT_GT(CountColour(drawn, kInk), 100000);
  EXPECT_LE(Changed(background, drawn).bottom, 100 + extent.height);
}

TEST_F(TextFontTest, MovedFontKeepsWorking) {
  Font first({kSans, 20});
  const int width = first.Measure("moved").width;
  Font second(std::move(first));
  EXPECT_EQ(second.Measure("moved").width, width);
  Font third({kSingleFace, 10});
  third = std::move(second);
  EXPECT_EQ(third.Measure("moved").width, width);
}

// A run opens the same face for every picture: a closed face is handed out
// again for its file, but not once the file changed, as FreeType reads the
// bytes that were mapped when it opened.
TEST_F(TextFontTest, AClosedFaceIsTakenAgainOnlyWhileItsFileIsUnchanged) {
  testing_support::TempDir folder;
  const std::string path = (folder / "face.ttf").string();
  std::filesystem::copy_file(Font({kSans, 20}).file(), path);
  int marker = 0;
  platform::OpenFace(path, 0)->generic.data = &marker;
  {
    const platform::FacePtr kept = platform::OpenFace(path, 0);
    EXPECT_EQ(kept->generic.data, &marker);
    kept->generic.data = nullptr;
  }

  std::filesystem::copy_file(Font({kSans, 20, true}).file(), folder / "bold.ttf");
  std::filesystem::rename(folder / "bold.ttf", path);
  const platform::FacePtr again = platform::OpenFace(path, 0);
  EXPECT_EQ(again->generic.data, nullptr);
  EXPECT_STREQ(again->style_name, "Bold");
}

// Only the faces closed last stay open, however many files a session draws with.
TEST_F(TextFontTest, OnlyTheFacesClosedLastStayOpen) {
  testing_support::TempDir folder;
  std::vector<std::string> files;
  int marker = 0;
  for (std::size_t i = 0; i <= platform::IdleFaces::kKept; ++i) {
    files.push_back((folder / ("face" + std::to_string(i) + ".ttf")).string());
    std::filesystem::copy_file(Font({kSans, 20}).file(), files.back());
    platform::OpenFace(files.back(), 0)->generic.data = &marker;
  }
  EXPECT_EQ(platform::OpenFace(files.front(), 0)->generic.data, nullptr);
  const platform::FacePtr last = platform::OpenFace(files.back(), 0);
  EXPECT_EQ(last->generic.data, &marker);
  last->generic.data = nullptr;
}

}  // namespace
