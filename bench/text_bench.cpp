// Cost of the text steps of one picture: making the font, measuring and
// drawing a 30-character stamp at 187 pixels onto a 12-megapixel bitmap.
// The first round includes starting FreeType and fontconfig.

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/bitmap.h"
#include "platform/text.h"

namespace {

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void Round(const char* label, platform::Bitmap& bitmap, const std::string& face, bool bold) {
  using Clock = std::chrono::steady_clock;
  const std::string text = "Sat, 14 June 2025, 18:42:07 PM";  // 30 characters
  const auto start = Clock::now();
  platform::FontSpec spec;
  spec.face = face;
  spec.height = 187;
  spec.bold = bold;
  const platform::Font font(spec);
  const auto made = Clock::now();
  const platform::TextExtent extent = font.Measure(text);
  const auto measured = Clock::now();
  font.Draw(bitmap, 2375, 2715, text, platform::MakeColorRef(255, 128, 0));
  const auto drawn = Clock::now();
  std::printf("%-28s font %.3f ms  measure %.3f ms  draw %.3f ms  total %.3f ms  (%d x %d, %s)\n",
              label, Milliseconds(made - start), Milliseconds(measured - made),
              Milliseconds(drawn - measured), Milliseconds(drawn - start), extent.width,
              extent.height, font.file().c_str());
}

}  // namespace

int main() {
  platform::Bitmap bitmap(4000, 3000);
  Round("first (with library start)", bitmap, "DejaVu Sans", false);
  Round("second", bitmap, "DejaVu Sans", false);
  Round("synthesised bold", bitmap, "DSEG14 Classic Mini", true);
  Round("unknown face", bitmap, "No Such Face", false);
  return 0;
}
