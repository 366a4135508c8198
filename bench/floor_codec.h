#pragma once
// The floor of the generator's picture work: decode into one whole RGB buffer
// and encode it with exactly the generator's libjpeg settings, nothing else.
// Errors end the program the way libjpeg does by default.

#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace floor_codec {

struct Picture {
  std::unique_ptr<JSAMPLE[]> pixels;
  JDIMENSION width = 0;
  JDIMENSION height = 0;
  std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
};

inline Picture Decode(std::FILE* in) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, in);
  jpeg_read_header(&info, TRUE);
  info.dct_method = JDCT_FLOAT;
  info.do_fancy_upsampling = TRUE;
  info.do_block_smoothing = TRUE;
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  Picture picture{nullptr, info.output_width, info.output_height};
  picture.pixels.reset(new JSAMPLE[picture.stride() * picture.height]);
  while (info.output_scanline < picture.height) {
    JSAMPROW row = picture.pixels.get() + picture.stride() * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return picture;
}

inline void Encode(const Picture& picture, std::FILE* out) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = picture.width;
  info.image_height = picture.height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  info.dct_method = JDCT_FLOAT;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < picture.height) {
    JSAMPROW row = picture.pixels.get() + picture.stride() * info.next_scanline;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
}

}  // namespace floor_codec
