#pragma once
// Stands in for a 24-bit device-independent bitmap: the surface that text is
// drawn on and that the JPEG codec reads and writes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// A colour as the settings hold it: red in bits 0-7, green 8-15, blue 16-23.
using ColorRef = std::uint32_t;

inline constexpr std::uint8_t RedOf(ColorRef c) {
  return static_cast<std::uint8_t>(c & 0xFF);
}
inline constexpr std::uint8_t GreenOf(ColorRef c) {
  return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
inline constexpr std::uint8_t BlueOf(ColorRef c) {
  return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}
inline constexpr ColorRef MakeColorRef(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return ColorRef{r} | (ColorRef{g} << 8) | (ColorRef{b} << 16);
}

// Pixels are stored top row first, each row tightly packed as R, G, B bytes.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  Bitmap() = default;
  Bitmap(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3) {}

  std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
  std::uint8_t* row(int y) { return pixels.data() + stride() * static_cast<std::size_t>(y); }
  const std::uint8_t* row(int y) const {
    return pixels.data() + stride() * static_cast<std::size_t>(y);
  }
};

}  // namespace platform
