// The floor of the generator's picture work: `floor_codec IN OUT` decodes IN
// into one whole RGB buffer and encodes it to OUT with exactly the generator's
// libjpeg settings, and does nothing else. Errors end the program the way
// libjpeg does by default.

#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace {

std::unique_ptr<JSAMPLE[]> Decode(std::FILE* in, JDIMENSION& width, JDIMENSION& height) {
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
  width = info.output_width;
  height = info.output_height;
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  std::unique_ptr<JSAMPLE[]> pixels(new JSAMPLE[stride * height]);
  while (info.output_scanline < height) {
    JSAMPROW row = pixels.get() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return pixels;
}

void Encode(const JSAMPLE* pixels, JDIMENSION width, JDIMENSION height, std::FILE* out) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  info.dct_method = JDCT_FLOAT;
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  while (info.next_scanline < height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels + stride * info.next_scanline);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: floor_codec IN OUT\n");
    return 2;
  }
  std::FILE* in = std::fopen(argv[1], "rb");
  if (in == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  JDIMENSION width = 0;
  JDIMENSION height = 0;
  const auto pixels = Decode(in, width, height);
  std::fclose(in);
  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) {
    std::perror(argv[2]);
    return 1;
  }
  Encode(pixels.get(), width, height, out);
  return std::fclose(out) == 0 ? 0 : 1;
}
