#include "support/jpeg_maker.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

#include "support/temp_dir.h"

namespace testing_support {
namespace {

struct Errors {
  jpeg_error_mgr pub;  // first member
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOut(j_common_ptr info) {
  auto* errors = reinterpret_cast<Errors*>(info->err);
  info->err->format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

void Quiet(j_common_ptr, int) {}

void Install(Errors& errors) {
  jpeg_std_error(&errors.pub);
  errors.pub.error_exit = JumpOut;
  errors.pub.emit_message = Quiet;
  errors.message[0] = '\0';
}

struct EncodeJob {
  const std::uint8_t* samples;
  int width;
  int height;
  int components;
  J_COLOR_SPACE input_space;
  J_COLOR_SPACE file_space;
  bool adobe_marker;
  bool progressive;
  int quality;
  unsigned char* output;
  unsigned long output_size;
};

// Holds only plain data: a libjpeg error jumps back into this frame.
bool RunEncode(EncodeJob& job, Errors& errors) {
  jpeg_compress_struct info{};
  info.err = &errors.pub;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &job.output, &job.output_size);
  info.image_width = static_cast<JDIMENSION>(job.width);
  info.image_height = static_cast<JDIMENSION>(job.height);
  info.input_components = job.components;
  info.in_color_space = job.input_space;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, job.file_space);
  info.write_Adobe_marker = job.adobe_marker ? TRUE : FALSE;
  jpeg_set_quality(&info, job.quality, TRUE);
  if (job.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(job.width) * job.components;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(job.samples + stride * info.next_scanline);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

struct HeaderFacts {
  int width;
  int height;
  int components;
  bool progressive;
  bool jfif_marker;
  bool adobe_marker;
  int app1_segments;
  bool table_present[NUM_QUANT_TBLS];
  std::uint16_t tables[NUM_QUANT_TBLS][DCTSIZE2];
};

bool RunInspect(std::string_view jpeg, HeaderFacts& facts, Errors& errors) {
  jpeg_decompress_struct info{};
  info.err = &errors.pub;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.data()),
               static_cast<unsigned long>(jpeg.size()));
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  facts.width = static_cast<int>(info.image_width);
  facts.height = static_cast<int>(info.image_height);
  facts.components = info.num_components;
  facts.progressive = info.progressive_mode != 0;
  facts.jfif_marker = info.saw_JFIF_marker != 0;
  facts.adobe_marker = info.saw_Adobe_marker != 0;
  facts.app1_segments = 0;
  for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next) {
    if (m->marker == JPEG_APP0 + 1) ++facts.app1_segments;
  }
  for (int t = 0; t < NUM_QUANT_TBLS; ++t) {
    const JQUANT_TBL* table = info.quant_tbl_ptrs[t];
    facts.table_present[t] = table != nullptr;
    // libjpeg keeps the values in natural order; the file's order is zigzag,
    // and for an all-ones check the order does not matter.
    for (int i = 0; i < DCTSIZE2; ++i) facts.tables[t][i] = table ? table->quantval[i] : 0;
  }
  jpeg_destroy_decompress(&info);
  return true;
}

std::uint8_t Clamp(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

std::vector<std::uint8_t> GraySamples(const platform::Bitmap& bitmap) {
  std::vector<std::uint8_t> gray(bitmap.pixels.size() / 3);
  for (std::size_t i = 0; i < gray.size(); ++i) {
    const std::uint8_t* p = &bitmap.pixels[i * 3];
    gray[i] = static_cast<std::uint8_t>((299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000);
  }
  return gray;
}

// Inks from RGB with full black generation; Adobe stores them inverted.
std::vector<std::uint8_t> InkSamples(const platform::Bitmap& bitmap, bool inverted) {
  std::vector<std::uint8_t> inks(bitmap.pixels.size() / 3 * 4);
  for (std::size_t i = 0; i < bitmap.pixels.size() / 3; ++i) {
    const std::uint8_t* p = &bitmap.pixels[i * 3];
    const int lightest = std::max({p[0], p[1], p[2]});
    const int k = 255 - lightest;
    for (int c = 0; c < 3; ++c) {
      const int ink = lightest == 0 ? 0 : (lightest - p[c]) * 255 / lightest;
      inks[i * 4 + c] = Clamp(inverted ? 255 - ink : ink);
    }
    inks[i * 4 + 3] = Clamp(inverted ? 255 - k : k);
  }
  return inks;
}

// Decodes every scan line; into `picture` as RGB when one is given, else in
// the file's own colour space (a CMYK file cannot become RGB). Warnings stay
// counted in `errors`. Holds only plain data: a libjpeg error jumps back into
// this frame.
bool RunDecode(std::string_view jpeg, Errors& errors, platform::Bitmap* picture) {
  jpeg_decompress_struct info{};
  info.err = &errors.pub;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.data()),
               static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&info, TRUE);
  if (picture) info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  // From libjpeg's own pool, which its destroy frees even after a jump.
  JSAMPARRAY scratch = (*info.mem->alloc_sarray)(
      reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
      info.output_width * static_cast<JDIMENSION>(info.output_components), 1);
  if (picture) {
    *picture =
        platform::Bitmap(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture ? picture->row(static_cast<int>(info.output_scanline)) : scratch[0];
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::string EncodeJpegBytes(const platform::Bitmap& bitmap, int quality, JpegOptions options) {
  EncodeJob job{nullptr, bitmap.width,        bitmap.height, 3,       JCS_RGB, JCS_YCbCr,
                false,   options.progressive, quality,       nullptr, 0};
  std::vector<std::uint8_t> converted;
  switch (options.colors) {
    case JpegColors::kYCbCr:
      job.samples = bitmap.pixels.data();
      break;
    case JpegColors::kGrayscale:
      converted = GraySamples(bitmap);
      job.components = 1;
      job.input_space = job.file_space = JCS_GRAYSCALE;
      break;
    case JpegColors::kCmykAdobe:
    case JpegColors::kYcckAdobe:
    case JpegColors::kCmykPlain:
      converted = InkSamples(bitmap, options.colors != JpegColors::kCmykPlain);
      job.components = 4;
      job.input_space = JCS_CMYK;
      job.file_space = options.colors == JpegColors::kYcckAdobe ? JCS_YCCK : JCS_CMYK;
      job.adobe_marker = options.colors != JpegColors::kCmykPlain;
      break;
  }
  if (!converted.empty()) job.samples = converted.data();
  Errors errors;
  Install(errors);
  const bool done = RunEncode(job, errors);
  std::string bytes;
  if (done) bytes.assign(reinterpret_cast<const char*>(job.output), job.output_size);
  std::free(job.output);
  if (!done) throw std::runtime_error(std::string("encoding failed: ") + errors.message);
  return bytes;
}

std::string InsertSegmentAfterSoi(std::string jpeg, std::string_view segment) {
  if (jpeg.size() < 2 || static_cast<unsigned char>(jpeg[0]) != 0xFF ||
      static_cast<unsigned char>(jpeg[1]) != 0xD8) {
    throw std::invalid_argument("not a JPEG stream");
  }
  jpeg.insert(2, segment);
  return jpeg;
}

platform::Bitmap MakeTestPattern(int width, int height) {
  platform::Bitmap bitmap(width, height);
  std::uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = bitmap.row(y);
    for (int x = 0; x < width; ++x, p += 3) {
      noise = noise * 1664525u + 1013904223u;
      const int grain = static_cast<int>(noise >> 28) - 8;
      const bool square = ((x / 16) + (y / 16)) % 2 == 0;
      p[0] = Clamp(x * 255 / std::max(1, width - 1) + grain);
      p[1] = Clamp(y * 255 / std::max(1, height - 1) + grain);
      p[2] = Clamp((square ? 200 : 60) + grain);
    }
  }
  return bitmap;
}

JpegFacts InspectJpegBytes(std::string_view jpeg) {
  HeaderFacts header{};
  Errors errors;
  Install(errors);
  if (!RunInspect(jpeg, header, errors)) {
    throw std::runtime_error(std::string("not a readable JPEG: ") + errors.message);
  }
  JpegFacts facts;
  facts.width = header.width;
  facts.height = header.height;
  facts.components = header.components;
  facts.progressive = header.progressive;
  facts.jfif_marker = header.jfif_marker;
  facts.adobe_marker = header.adobe_marker;
  facts.app1_segments = header.app1_segments;
  for (int t = 0; t < NUM_QUANT_TBLS; ++t) {
    if (header.table_present[t]) {
      facts.quant_tables.emplace_back(header.tables[t], header.tables[t] + DCTSIZE2);
    }
  }
  return facts;
}

JpegFacts InspectJpegFile(const std::filesystem::path& path) {
  return InspectJpegBytes(ReadFile(path));
}

std::vector<std::vector<std::uint16_t>> QuantTablesOf(const std::filesystem::path& path) {
  return InspectJpegFile(path).quant_tables;
}

bool DecodesCleanly(const std::filesystem::path& path) {
  const std::string bytes = ReadFile(path);
  Errors errors{};
  Install(errors);
  return !bytes.empty() && RunDecode(bytes, errors, nullptr) && errors.pub.num_warnings == 0;
}

double MeanAbsDifference(const platform::Bitmap& a, const platform::Bitmap& b) {
  if (a.pixels.size() != b.pixels.size() || a.pixels.empty()) {
    throw std::invalid_argument("bitmaps differ in size");
  }
  double sum = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    sum += std::abs(int{a.pixels[i]} - int{b.pixels[i]});
  }
  return sum / static_cast<double>(a.pixels.size());
}

platform::Bitmap DecodeJpegPicture(const std::filesystem::path& path) {
  const std::string jpeg = ReadFile(path);
  Errors errors;
  Install(errors);
  platform::Bitmap picture;
  if (!RunDecode(jpeg, errors, &picture)) {
    throw std::runtime_error(path.string() + ": " + errors.message);
  }
  return picture;
}

}  // namespace testing_support
