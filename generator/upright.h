#pragma once
// Bringing a picture upright while it is decoded: cameras store a turned shot
// as the sensor saw it and only note in the EXIF orientation how viewers are
// to turn it. Our output keeps no EXIF, so it has to stand upright itself.

#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace vantrel {

// Where the stored pixels go: a stored picture of W x H pixels stands upright
// as H x W when its axes swap.
struct UprightTurn {
  bool swaps_axes = false;        // stored rows become columns
  bool reverses_rows = false;     // the last stored row comes first
  bool reverses_columns = false;  // the last stored column comes first

  // The turn that the EXIF orientation asks for; 1, and anything but 2 to 8,
  // leave the picture as it is stored.
  static UprightTurn ForOrientation(std::uint32_t orientation);
};

// Takes a picture's stored rows band by band, in order, and puts every pixel
// where it stands upright, into the one bitmap the output is drawn on. When
// rows stay rows, they are decoded straight into their upright place; when
// the axes swap, a band of rows is decoded aside and spread over the columns.
class UprightBitmapWriter {
 public:
  // Rows in a band. When the axes swap, each upright row takes a band's pixels
  // as one stretch of 192 bytes, so that its memory is written in whole cache
  // lines rather than a few bytes at a time.
  static constexpr int kBandRows = 64;

  UprightBitmapWriter(int stored_width, int stored_height, UprightTurn turn);

  // Where the stored rows `first` to `first + count - 1` (count at most
  // kBandRows) are to be decoded, one pointer a row, each row 3 bytes a pixel.
  std::uint8_t** RowsFor(int first, int count);
  // Moves the rows just decoded where RowsFor said into their upright places.
  void Place(int first, int count);

  // The upright picture; the writer is spent.
  platform::Bitmap Take();

 private:
  void MirrorRows(int count);
  void SpreadOverColumns(int first, int count);

  int stored_width_;
  int stored_height_;
  UprightTurn turn_;
  platform::Bitmap upright_;
  std::vector<std::uint8_t> band_;
  std::uint8_t* rows_[kBandRows] = {};
};

}  // namespace vantrel
