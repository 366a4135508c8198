#pragma once
// Real JPEG files made and taken apart with libjpeg, for tests and
// benchmarks that need pictures of a known kind.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bitmap.h"

namespace testing_support {

enum class JpegColors {
  kYCbCr,      // the usual colour picture
  kGrayscale,  // one component
  kCmykAdobe,  // four components, inverted as Adobe stores them, APP14 marker
  kYcckAdobe,  // the same inks stored as YCCK
  kCmykPlain,  // four components, ink amounts as they are, no APP14 marker
};

struct JpegOptions {
  JpegColors colors = JpegColors::kYCbCr;
  bool progressive = false;
};

// Encodes `bitmap` at `quality` (1 to 100).
std::string EncodeJpegBytes(const platform::Bitmap& bitmap, int quality, JpegOptions options = {});

// Puts a whole marker segment (from its FF xx on) right after the FF D8 at the start.
std::string InsertSegmentAfterSoi(std::string jpeg, std::string_view segment);

// A deterministic picture with gradients, edges and fine texture.
platform::Bitmap MakeTestPattern(int width, int height);

// What a JPEG file's header says.
struct JpegFacts {
  int width = 0;
  int height = 0;
  int components = 0;
  bool progressive = false;
  bool jfif_marker = false;
  bool adobe_marker = false;
  int app1_segments = 0;
  // The quantization tables present, each in libjpeg's natural order.
  std::vector<std::vector<std::uint16_t>> quant_tables;
};

JpegFacts InspectJpegBytes(std::string_view jpeg);
JpegFacts InspectJpegFile(const std::filesystem::path& path);
std::vector<std::vector<std::uint16_t>> QuantTablesOf(const std::filesystem::path& path);

// The pixels of a JPEG file, as R, G, B; throws std::runtime_error when it cannot be decoded.
platform::Bitmap DecodeJpegPicture(const std::filesystem::path& path);

// True when every scan line of the file decodes without an error or a warning
// (a truncated file decodes with a warning).
bool DecodesCleanly(const std::filesystem::path& path);

// The mean of the absolute differences of all samples; the bitmaps must be of one size.
double MeanAbsDifference(const platform::Bitmap& a, const platform::Bitmap& b);

}  // namespace testing_support
