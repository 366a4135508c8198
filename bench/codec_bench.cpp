// `codec_bench PICTURE [REPEATS]` times, in one process, the generator's
// DecodeJpegFile + SaveJpegFile against the floor: the same libjpeg settings
// called directly into one whole buffer. Prints the best times and their ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <jpeglib.h>

#include "generator/jpeg_picture.h"

namespace {

void FloorDecodeEncode(const std::string& in_path, const std::string& out_path) {
  std::FILE* in = std::fopen(in_path.c_str(), "rb");
  if (in == nullptr) throw std::runtime_error("cannot open " + in_path);
  jpeg_decompress_struct decoder{};
  jpeg_error_mgr errors{};
  decoder.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&decoder);
  jpeg_stdio_src(&decoder, in);
  jpeg_read_header(&decoder, TRUE);
  decoder.dct_method = JDCT_FLOAT;
  decoder.do_fancy_upsampling = TRUE;
  decoder.do_block_smoothing = TRUE;
  decoder.out_color_space = JCS_RGB;
  jpeg_start_decompress(&decoder);
  const JDIMENSION width = decoder.output_width;
  const JDIMENSION height = decoder.output_height;
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  std::unique_ptr<JSAMPLE[]> pixels(new JSAMPLE[stride * height]);
  while (decoder.output_scanline < height) {
    JSAMPROW row = pixels.get() + stride * decoder.output_scanline;
    jpeg_read_scanlines(&decoder, &row, 1);
  }
  jpeg_finish_decompress(&decoder);
  jpeg_destroy_decompress(&decoder);
  std::fclose(in);

  std::FILE* out = std::fopen(out_path.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot create " + out_path);
  jpeg_compress_struct encoder{};
  encoder.err = jpeg_std_error(&errors);
  jpeg_create_compress(&encoder);
  jpeg_stdio_dest(&encoder, out);
  encoder.image_width = width;
  encoder.image_height = height;
  encoder.input_components = 3;
  encoder.in_color_space = JCS_RGB;
  jpeg_set_defaults(&encoder);
  jpeg_set_quality(&encoder, 100, TRUE);
  encoder.dct_method = JDCT_FLOAT;
  jpeg_start_compress(&encoder, TRUE);
  while (encoder.next_scanline < height) {
    JSAMPROW row = pixels.get() + stride * encoder.next_scanline;
    jpeg_write_scanlines(&encoder, &row, 1);
  }
  jpeg_finish_compress(&encoder);
  jpeg_destroy_compress(&encoder);
  std::fclose(out);
}

void OurDecodeEncode(const std::string& in_path, const std::string& out_path) {
  SaveJpegFile(DecodeJpegFile(in_path), out_path, 100);
}

template <typename Work>
double Seconds(const Work& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: codec_bench PICTURE [REPEATS]\n");
    return 2;
  }
  try {
    const std::string in = argv[1];
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string out = (std::filesystem::temp_directory_path() /
                             ("codec_bench_" + std::to_string(getpid()) + ".jpg"))
                                .string();
    std::vector<double> floor_times;
    std::vector<double> our_times;
    // Alternating keeps the two alike in cache and clock state.
    for (int i = 0; i < repeats; ++i) {
      std::filesystem::remove(out);
      floor_times.push_back(Seconds([&] { FloorDecodeEncode(in, out); }));
      std::filesystem::remove(out);
      our_times.push_back(Seconds([&] { OurDecodeEncode(in, out); }));
    }
    std::filesystem::remove(out);
    const double best_floor = *std::min_element(floor_times.begin(), floor_times.end());
    const double best_ours = *std::min_element(our_times.begin(), our_times.end());
    std::printf("floor   best %.3f s  median %.3f s\n", best_floor, Median(floor_times));
    std::printf("ours    best %.3f s  median %.3f s\n", best_ours, Median(our_times));
    std::printf("ratio ours/floor: best %.3f  median %.3f\n", best_ours / best_floor,
                Median(our_times) / Median(floor_times));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
