// `codec_bench PICTURE [REPEATS]` times, in one process, the generator's
// DecodeJpegFile + SaveJpegFile against the floor: the same libjpeg settings
// called directly into one whole buffer. Prints the best times and their ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "floor_codec.h"
#include "generator/jpeg_picture.h"

namespace {

void FloorDecodeEncode(const std::string& in_path, const std::string& out_path) {
  std::FILE* in = std::fopen(in_path.c_str(), "rb");
  if (in == nullptr) throw std::runtime_error("cannot open " + in_path);
  const auto picture = floor_codec::Decode(in);
  std::fclose(in);
  std::FILE* out = std::fopen(out_path.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot create " + out_path);
  floor_codec::Encode(picture, out);
  std::fclose(out);
}

void OurDecodeEncode(const std::string& in_path, const std::string& out_path) {
  vantrel::SaveJpegFile(vantrel::DecodeJpegFile(in_path), out_path, 100);
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
