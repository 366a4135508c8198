// `make_bench_pictures FOLDER` writes the benchmark's source pictures into
// FOLDER: bench-12mp.jpg (4000 x 3000), bench-24mp.jpg (6000 x 4000) and
// small.jpg (640 x 480), photo-like content at camera quality, each with an
// EXIF segment that holds a DateTimeOriginal and the orientation 1 (upright);
// and bench-12mp-turned.jpg, the pixels of bench-12mp.jpg with the
// orientation 6 (to be turned a quarter clockwise), as portrait shots are
// stored.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "generator/jpeg_picture.h"

namespace {

constexpr int kCameraQuality = 92;
constexpr char kDateTaken[] = "2023:01:05 14:03:09";
constexpr unsigned kUpright = 1;
constexpr unsigned kTurnedClockwise = 6;

std::uint8_t Clamp(double value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// Smooth light and colour changes, a few hard edges and sensor-like grain, so
// that the encoder has to work as on a photograph.
platform::Bitmap MakePhotoLike(int width, int height) {
  platform::Bitmap bitmap(width, height);
  std::vector<double> wave_x(static_cast<std::size_t>(width));
  std::vector<double> wave_y(static_cast<std::size_t>(height));
  for (int x = 0; x < width; ++x) wave_x[x] = 40 * std::sin(x * 0.011) + 15 * std::sin(x * 0.093);
  for (int y = 0; y < height; ++y) wave_y[y] = 35 * std::cos(y * 0.007) + 12 * std::sin(y * 0.121);
  std::uint32_t noise = 2463534242u;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = bitmap.row(y);
    const double sky = 180.0 * (1.0 - static_cast<double>(y) / height);
    for (int x = 0; x < width; ++x, p += 3) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const double grain = static_cast<double>(noise % 25) - 12.0;
      const bool building = (x / 350) % 3 == 1 && y > height / 3 + (x % 700) / 4;
      const double base = building ? 70.0 + ((x / 40 + y / 60) % 2) * 60.0 : sky + wave_x[x];
      p[0] = Clamp(base + wave_y[y] + grain);
      p[1] = Clamp(base * 0.9 + wave_x[x] * 0.5 + grain);
      p[2] = Clamp(building ? base * 0.7 + grain : 220.0 - sky * 0.3 + wave_y[y] + grain);
    }
  }
  return bitmap;
}

void Put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void PutEntry(std::string& out, unsigned tag, unsigned type, std::uint32_t count,
              std::uint32_t value) {
  Put16(out, tag);
  Put16(out, type);
  Put32(out, count);
  Put32(out, value);
}

// A minimal little-endian TIFF structure: IFD0 with the orientation and the
// pointer to the EXIF directory, which holds only tag 0x9003.
std::string ExifSegment(unsigned orientation) {
  constexpr std::uint32_t kIfd0 = 8;
  constexpr std::uint32_t kExifIfd = kIfd0 + 2 + 2 * 12 + 4;
  constexpr std::uint32_t kDate = kExifIfd + 2 + 12 + 4;
  std::string tiff = "II";
  Put16(tiff, 42);
  Put32(tiff, kIfd0);
  Put16(tiff, 2);
  PutEntry(tiff, 0x0112, 3, 1, orientation);
  PutEntry(tiff, 0x8769, 4, 1, kExifIfd);
  Put32(tiff, 0);
  Put16(tiff, 1);
  PutEntry(tiff, 0x9003, 2, sizeof kDateTaken, kDate);
  Put32(tiff, 0);
  tiff.append(kDateTaken, sizeof kDateTaken);
  const std::string body = std::string("Exif\0\0", 6) + tiff;
  const std::size_t length = body.size() + 2;
  return std::string("\xFF\xE1") + static_cast<char>(length >> 8) +
         static_cast<char>(length & 0xFF) + body;
}

std::string EncodePhotoLike(const std::filesystem::path& folder, int width, int height) {
  const std::filesystem::path plain = folder / "plain.jpg";
  std::filesystem::remove(plain);
  vantrel::SaveJpegFile(MakePhotoLike(width, height), plain.string(), kCameraQuality);
  std::ifstream in(plain, std::ios::binary);
  std::string jpeg{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  in.close();
  std::filesystem::remove(plain);
  return jpeg;
}

void WritePicture(const std::filesystem::path& path, std::string jpeg, unsigned orientation) {
  jpeg.insert(2, ExifSegment(orientation));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(jpeg.data(), static_cast<std::streamsize>(jpeg.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_bench_pictures FOLDER\n");
    return 2;
  }
  try {
    const std::filesystem::path folder = argv[1];
    const std::string twelve = EncodePhotoLike(folder, 4000, 3000);
    WritePicture(folder / "bench-12mp.jpg", twelve, kUpright);
    WritePicture(folder / "bench-12mp-turned.jpg", twelve, kTurnedClockwise);
    WritePicture(folder / "bench-24mp.jpg", EncodePhotoLike(folder, 6000, 4000), kUpright);
    WritePicture(folder / "small.jpg", EncodePhotoLike(folder, 640, 480), kUpright);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
