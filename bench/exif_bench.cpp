// Time to read the EXIF fields of one camera picture, with the file in the
// page cache. Usage: exif_bench [picture.jpg]
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "generator/Exif.h"

namespace {

constexpr int kWarmUp = 200;
constexpr int kIterations = 20000;

// The real pictures lie beside the source tree, where the tests find them too.
std::filesystem::path RealPicture() {
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
         "shared/testdata/exif-real/Canon.jpg";
}

void Put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutEntry(std::string& out, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
              std::uint32_t value) {
  Put16(out, tag);
  Put16(out, type);
  Put32(out, count);
  Put32(out, value);
}

// A picture laid out like a camera's: APP0, then an EXIF segment of about
// 20 KB (most of it the thumbnail), then the scan.
std::string SyntheticPicture() {
  std::string tiff = "II";
  Put16(tiff, 42);
  Put32(tiff, 8);
  Put16(tiff, 3);                     // IFD0 at 8, data at 50
  PutEntry(tiff, 0x010F, 2, 6, 50);   // Make
  PutEntry(tiff, 0x0110, 2, 10, 56);  // Model
  PutEntry(tiff, 0x8769, 4, 1, 66);   // EXIF directory
  Put32(tiff, 0);
  tiff += std::string("Maker\0Model 100\0", 16);
  Put16(tiff, 5);                      // EXIF directory at 66, data at 132
  PutEntry(tiff, 0x829A, 5, 1, 132);   // exposure time
  PutEntry(tiff, 0x829D, 5, 1, 140);   // f-number
  PutEntry(tiff, 0x8827, 3, 1, 200);   // ISO
  PutEntry(tiff, 0x9003, 2, 20, 148);  // date of the shot
  PutEntry(tiff, 0x920A, 5, 1, 168);   // focal length
  Put32(tiff, 0);
  Put32(tiff, 1), Put32(tiff, 125), Put32(tiff, 28), Put32(tiff, 10);
  tiff += std::string("2021:06:15 14:30:05\0", 20);
  Put32(tiff, 50), Put32(tiff, 1);
  tiff.resize(20000, '\x5A');

  const std::string payload = std::string("Exif\0\0", 6) + tiff;
  const std::size_t length = payload.size() + 2;
  std::string file("\xFF\xD8\xFF\xE0\x00\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 20);
  file += "\xFF\xE1";
  file += static_cast<char>(length >> 8);
  file += static_cast<char>(length & 0xFF);
  file += payload;
  file += std::string("\xFF\xDA\x00\x02", 4) + std::string(2000000, '\x33') + "\xFF\xD9";
  return file;
}

long long ProcessCounter(const std::string& name) {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == name + ":") return value;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path picture = argc > 1 ? std::filesystem::path(argv[1]) : RealPicture();
  std::filesystem::path synthetic;
  if (!std::filesystem::exists(picture)) {
    synthetic = std::filesystem::temp_directory_path() / "exif_bench_picture.jpg";
    std::ofstream(synthetic, std::ios::binary) << SyntheticPicture();
    picture = synthetic;
  }
  const std::string path = picture.string();

  std::string date;
  for (int i = 0; i < kWarmUp; ++i) {
    vantrel::TExif exif;
    exif.ReadFromFile(path);
    date = exif.DateTimeOriginal;
  }
  const long long bytes_before = ProcessCounter("rchar");
  const long long reads_before = ProcessCounter("syscr");
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kIterations; ++i) {
    vantrel::TExif exif;
    exif.ReadFromFile(path);
    if (exif.DateTimeOriginal != date) return 1;
  }
  const std::chrono::duration<double, std::micro> elapsed =
      std::chrono::steady_clock::now() - start;
  const long long bytes = (ProcessCounter("rchar") - bytes_before) / kIterations;
  const long long reads = (ProcessCounter("syscr") - reads_before) / kIterations;

  std::printf("picture: %s (%lld bytes)\n", path.c_str(),
              static_cast<long long>(std::filesystem::file_size(picture)));
  std::printf("DateTimeOriginal: %s\n", date.c_str());
  std::printf("%.2f us per picture, %lld bytes in %lld reads per picture\n",
              elapsed.count() / kIterations, bytes, reads);
  if (!synthetic.empty()) std::filesystem::remove(synthetic);
  return 0;
}
