#include "generator/upright.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

namespace vantrel {

namespace {

constexpr std::size_t kPixelBytes = 3;

void ReversePixels(std::uint8_t* row, int width) {
  std::uint8_t* left = row;
  std::uint8_t* right = row + kPixelBytes * static_cast<std::size_t>(width - 1);
  for (; left < right; left += kPixelBytes, right -= kPixelBytes) {
    std::uint8_t held[kPixelBytes];
    std::memcpy(held, left, kPixelBytes);
    std::memcpy(left, right, kPixelBytes);
    std::memcpy(right, held, kPixelBytes);
  }
}

}  // namespace

UprightTurn UprightTurn::ForOrientation(std::uint32_t orientation) {
  switch (orientation) {
    case 2:
      return {false, false, true};
    case 3:
      return {false, true, true};
    case 4:
      return {false, true, false};
    case 5:
      return {true, false, false};
    case 6:
      return {true, true, false};
    case 7:
      return {true, true, true};
    case 8:
      return {true, false, true};
    default:
      return {};
  }
}

UprightBitmapWriter::UprightBitmapWriter(int stored_width, int stored_height, UprightTurn turn)
    : stored_width_(stored_width),
      stored_height_(stored_height),
      turn_(turn),
      upright_(turn.swaps_axes ? platform::Bitmap(stored_height, stored_width)
                               : platform::Bitmap(stored_width, stored_height)) {
  if (turn_.swaps_axes) {
    band_.resize(kPixelBytes * static_cast<std::size_t>(stored_width_) * kBandRows);
  }
}

std::uint8_t** UprightBitmapWriter::RowsFor(int first, int count) {
  const std::size_t band_stride = kPixelBytes * static_cast<std::size_t>(stored_width_);
  for (int i = 0; i < count; ++i) {
    const int stored_y = first + i;
    if (turn_.swaps_axes) {
      rows_[i] = band_.data() + band_stride * static_cast<std::size_t>(i);
    } else {
      rows_[i] = upright_.row(turn_.reverses_rows ? stored_height_ - 1 - stored_y : stored_y);
    }
  }
  return rows_;
}

void UprightBitmapWriter::Place(int first, int count) {
  if (turn_.swaps_axes) {
    SpreadOverColumns(first, count);
  } else if (turn_.reverses_columns) {
    MirrorRows(count);
  }
}

platform::Bitmap UprightBitmapWriter::Take() {
  band_ = {};
  return std::move(upright_);
}

void UprightBitmapWriter::MirrorRows(int count) {
  for (int i = 0; i < count; ++i) ReversePixels(rows_[i], stored_width_);
}

// Stored row y becomes upright column y (or its mirror), stored column x
// upright row x (or its mirror).
void UprightBitmapWriter::SpreadOverColumns(int first, int count) {
  // Locals only: stores of bytes may alias any member, which would otherwise
  // be read again for every pixel.
  const std::size_t band_stride = kPixelBytes * static_cast<std::size_t>(stored_width_);
  const std::uint8_t* const band = band_.data();
  const int first_x = turn_.reverses_rows ? stored_height_ - 1 - first : first;
  const std::ptrdiff_t step = turn_.reverses_rows ? -3 : 3;
  const int width = stored_width_;
  const bool reverses_columns = turn_.reverses_columns;
  for (int stored_x = 0; stored_x < width; ++stored_x) {
    const int upright_y = reverses_columns ? width - 1 - stored_x : stored_x;
    std::uint8_t* target =
        upright_.row(upright_y) + kPixelBytes * static_cast<std::size_t>(first_x);
    const std::uint8_t* source = band + kPixelBytes * static_cast<std::size_t>(stored_x);
    for (int i = 0; i < count; ++i, target += step, source += band_stride) {
      target[0] = source[0];
      target[1] = source[1];
      target[2] = source[2];
    }
  }
}

}  // namespace vantrel
