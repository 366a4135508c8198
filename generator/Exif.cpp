#include "generator/Exif.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/errors.h"
#include "platform/file.h"

namespace vantrel {

namespace {

constexpr std::uint8_t kMarkerPrefix = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kTemporary = 0x01;
constexpr std::uint8_t kFirstRestart = 0xD0;
constexpr std::uint8_t kLastRestart = 0xD7;

// Marker, length and the identifier "Exif" with two NUL bytes.
constexpr std::size_t kExifHeaderSize = 10;
constexpr std::string_view kExifIdentifier{"Exif\0\0", 6};

// Enough for the segment headers at the start of nearly every picture in one read.
constexpr std::size_t kWindowSize = 4096;

constexpr std::uint16_t kTypeByte = 1;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeSignedShort = 8;
constexpr std::uint16_t kImageDirectoryDefaultCount = 100;
constexpr std::uint32_t kMicrosecondDenominator = 1000000;

std::uint16_t Get16(const std::uint8_t* bytes, bool motorola) {
  return motorola ? static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1])
                  : static_cast<std::uint16_t>(bytes[1] << 8 | bytes[0]);
}

std::uint32_t Get32(const std::uint8_t* bytes, bool motorola) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  if constexpr (std::endian::native == std::endian::big) {
    value = SwapBytes32(value);
  }
  return motorola ? SwapBytes32(value) : value;
}

// A picture file opened for reading, closed when the object goes. Opening does
// not wait, so that a path naming a pipe cannot stall the reader.
class FileHandle {
 public:
  explicit FileHandle(const std::string& path) : file_(platform::OpenWithoutWaiting(path)) {}

  // Reads up to `size` bytes at `position`; fewer only where the file ends.
  std::size_t ReadAt(std::uint64_t position, std::uint8_t* target, std::size_t size) const {
    return platform::ReadAt(file_, position, target, size);
  }

 private:
  platform::FileDescriptor file_;
};

struct ExifSegment {
  std::uint64_t position = 0;
  std::vector<std::uint8_t> bytes;
};

bool IsStandaloneMarker(std::uint8_t marker) {
  return marker == kTemporary || marker == kStartOfImage ||
         (marker >= kFirstRestart && marker <= kLastRestart);
}

// Walks the segments of a JPEG file by their stored lengths, reading the file
// in windows so that skipping a large segment costs one read.
class SegmentWalker {
 public:
  explicit SegmentWalker(const FileHandle& file) : file_(file) {}

  // The first APP1 segment holding EXIF data, up to its end or the file's.
  std::optional<ExifSegment> FindExifSegment() {
    const std::uint8_t* start = Bytes(0, 2);
    if (start == nullptr) {
      throw platform::InOutError::ReadBeyondEnd();
    }
    if (start[0] != kMarkerPrefix || start[1] != kStartOfImage) {
      return std::nullopt;
    }
    std::uint64_t position = 2;
    while (true) {
      const std::uint8_t* marker = Bytes(position, 2);
      if (marker == nullptr) {
        return std::nullopt;
      }
      // Fill bytes before a marker, and stray bytes that damaged or sloppily
      // written files leave between segments, are passed over to the next marker.
      if (marker[0] != kMarkerPrefix || marker[1] == kMarkerPrefix || marker[1] == 0x00) {
        ++position;
        continue;
      }
      if (IsStandaloneMarker(marker[1])) {
        position += 2;
        continue;
      }
      if (marker[1] == kStartOfScan || marker[1] == kEndOfImage) {
        return std::nullopt;
      }
      const std::uint8_t* header = Bytes(position, 4);
      if (header == nullptr) {
        return std::nullopt;
      }
      const std::uint16_t length = Get16(header + 2, true);
      if (length < 2) {
        return std::nullopt;
      }
      if (header[1] == kApp1 && IsExifSegment(position, length)) {
        return ReadSegment(position, length);
      }
      position += 2u + length;
    }
  }

 private:
  bool IsExifSegment(std::uint64_t position, std::uint16_t length) {
    if (length < kExifHeaderSize - 2) {
      return false;
    }
    const std::uint8_t* header = Bytes(position, kExifHeaderSize);
    return header != nullptr &&
           std::memcmp(header + 4, kExifIdentifier.data(), kExifIdentifier.size()) == 0;
  }

  // The segment's bytes from its marker on; the window already holds its header.
  ExifSegment ReadSegment(std::uint64_t position, std::uint16_t length) {
    ExifSegment segment{position, std::vector<std::uint8_t>(2u + length)};
    const std::size_t held = std::min(
        segment.bytes.size(), static_cast<std::size_t>(window_start_ + window_.size() - position));
    std::memcpy(segment.bytes.data(), window_.data() + (position - window_start_), held);
    const std::size_t got =
        file_.ReadAt(position + held, segment.bytes.data() + held, segment.bytes.size() - held);
    segment.bytes.resize(held + got);
    return segment;
  }

  // The bytes [position, position + size) of the file; nullptr when it ends earlier.
  const std::uint8_t* Bytes(std::uint64_t position, std::size_t size) {
    if (position >= window_start_ && position - window_start_ + size <= window_.size()) {
      return window_.data() + (position - window_start_);
    }
    window_.resize(std::max(size, kWindowSize));
    window_.resize(file_.ReadAt(position, window_.data(), window_.size()));
    window_start_ = position;
    return window_.size() >= size ? window_.data() : nullptr;
  }

  const FileHandle& file_;
  std::vector<std::uint8_t> window_;
  std::uint64_t window_start_ = 0;
};

// FileExists of the runtime: something that is not a folder.
bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// Two decimals, halves rounded up exactly, then one trailing "0" dropped.
std::string DecimalText(std::uint32_t numerator, std::uint32_t denominator) {
  const std::uint64_t scaled = std::uint64_t{numerator} * 100;
  const std::uint64_t remainder = scaled % denominator;
  const std::uint64_t hundredths = scaled / denominator + (remainder * 2 >= denominator ? 1 : 0);
  const std::uint64_t cents = hundredths % 100;
  std::string text = std::to_string(hundredths / 100) + "." + static_cast<char>('0' + cents / 10) +
                     static_cast<char>('0' + cents % 10);
  if (text.back() == '0') {
    text.pop_back();
  }
  return text;
}

std::string TrimRight(std::string text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') {
    text.pop_back();
  }
  return text;
}

std::string OrientationName(std::uint8_t value) {
  const std::size_t index = value >= 1 && value <= 8 ? value - 1u : 8u;
  return std::string(OrientationNames[index]);
}

std::string ExposureProgramName(std::uint32_t value) {
  return std::string(ExposureProgramNames[value < ExposureProgramNames.size() ? value : 0]);
}

std::string MeteringModeName(std::uint32_t value) {
  return std::string(MeteringModeNames[value < MeteringModeNames.size() ? value : 0]);
}

std::string LightSourceName(std::uint32_t value) {
  switch (value) {
    case 1:
      return "Daylight";
    case 2:
      return "Flourescent";
    case 3:
      return "Tungsten";
    case 10:
      return "Flash";
    case 17:
      return "Standard Light A";
    case 18:
      return "Standard Light B";
    case 19:
      return "Standard Light C";
    case 20:
      return "D55";
    case 21:
      return "D65";
    case 22:
      return "D75";
    case 255:
      return "Other";
    default:
      return "Unknown";
  }
}

std::string FlashName(std::uint32_t value) {
  switch (value) {
    case 1:
      return "Flash";
    case 5:
      return "Flash No Strobe";
    case 7:
      return "Flash Strobe";
    case 25:
      return "Flash (Auto)";
    default:
      return "No Flash";
  }
}

std::uint8_t Low8(std::uint32_t value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

std::uint32_t SwapBytes32(std::uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
         (value << 24);
}

void TPictureFile::Assign(std::uint64_t first_position, std::vector<std::uint8_t> bytes) {
  first_ = first_position;
  bytes_ = std::move(bytes);
  position_ = first_position;
}

void TPictureFile::Close() {
  bytes_ = {};
  first_ = 0;
  position_ = 0;
}

void TPictureFile::Read(std::uint8_t* target, std::size_t size) {
  const std::span<const std::uint8_t> rest = BytesFrom(position_);
  if (rest.size() < size) {
    throw platform::InOutError::ReadBeyondEnd();
  }
  std::memcpy(target, rest.data(), size);
  position_ += size;
}

std::span<const std::uint8_t> TPictureFile::BytesFrom(std::uint64_t position) const {
  if (position < first_ || position - first_ >= bytes_.size()) {
    return {};
  }
  return std::span<const std::uint8_t>(bytes_).subspan(static_cast<std::size_t>(position - first_));
}

TExif::TExif() {
  Clear();
}

void TExif::Clear() {
  ImageDescription.clear();
  Make.clear();
  Model.clear();
  Orientation = 0;
  OrientationValue = 0;
  orientation_read_ = false;
  OrientationText.clear();
  Copyright.clear();
  HasExif = false;
  DateTime.clear();
  DateTimeOriginal.clear();
  DateTimeDigitized.clear();
  UserComment.clear();
  ExposureTime.clear();
  FNumber.clear();
  ShutterSpeed.clear();
  Aperture.clear();
  MaxAperture.clear();
  ExposureProgram = 0;
  ExposureProgramText.clear();
  ExifImageWidth = 0;
  ExifImageHeight = 0;
  XResolution = 0;
  YResolution = 0;
  MeteringMode = 0;
  MeteringModeText.clear();
  FocalLength.clear();
  LightSource = 0;
  LightSourceText.clear();
  Flash = 0;
  FlashText.clear();
  ISO = 0;
  Software.clear();
  Artist.clear();
  CompressedBitsPerPixel.clear();
  ExifIFDOffset = 0;
}

void TExif::ReadFromFile(const std::string& path) {
  if (!FileExists(path)) {
    return;
  }
  Clear();
  std::optional<ExifSegment> segment;
  {
    const FileHandle file(path);
    segment = SegmentWalker(file).FindExifSegment();
  }
  if (!segment) {
    return;
  }
  HasExif = true;
  const std::uint64_t base = segment->position + kExifHeaderSize;
  PictureFile.Assign(segment->position, std::move(segment->bytes));
  struct Release {
    TPictureFile& file;
    ~Release() { file.Close(); }
  } release{PictureFile};
  ReadTiff(base);
}

std::uint16_t TExif::ReadWord() {
  std::uint8_t bytes[2];
  PictureFile.Read(bytes, sizeof bytes);
  return Get16(bytes, Motorola);
}

std::uint32_t TExif::ReadDword() {
  std::uint8_t bytes[4];
  PictureFile.Read(bytes, sizeof bytes);
  return Get32(bytes, Motorola);
}

void TExif::ReadTiff(std::uint64_t base) {
  PictureFile.Seek(base);
  std::uint8_t byte_order[2];
  PictureFile.Read(byte_order, sizeof byte_order);
  Motorola = byte_order[0] == 'M' && byte_order[1] == 'M';
  ReadWord();  // the TIFF mark 42, not checked
  const std::uint32_t image_directory = ReadDword();
  PictureFile.Seek(base + image_directory);
  ReadImageDirectory(base);
  if (ExifIFDOffset != 0) {
    PictureFile.Seek(base + ExifIFDOffset);
    ReadExifDirectory(base);
  }
}

void TExif::ReadImageDirectory(std::uint64_t base) {
  std::uint16_t count = ReadWord();
  if (count == 0) {
    count = kImageDirectoryDefaultCount;
  }
  for (std::uint16_t i = 0; i < count; ++i) {
    TIfdEntry entry;
    ReadDirEntry(entry);
    if (entry.Tag == 0) {
      return;
    }
    ApplyImageEntry(entry, base);
  }
}

void TExif::ReadExifDirectory(std::uint64_t base) {
  const std::uint16_t count = ReadWord();
  for (std::uint16_t i = 0; i < count; ++i) {
    TIfdEntry entry;
    ReadDirEntry(entry);
    if (entry.Tag == 0) {
      return;
    }
    ApplyExifEntry(entry, base);
  }
}

// BYTE values stand in the first value byte and SHORT and SSHORT values in the
// first two, in both byte orders; the rest of the field is padding.
void TExif::ReadDirEntry(TIfdEntry& entry) {
  std::uint8_t bytes[12];
  PictureFile.Read(bytes, sizeof bytes);
  entry.Tag = Get16(bytes, Motorola);
  entry.Type = Get16(bytes + 2, Motorola);
  entry.Count = Get32(bytes + 4, Motorola);
  if (entry.Type == kTypeByte) {
    entry.Value = bytes[8];
  } else if (entry.Type == kTypeShort || entry.Type == kTypeSignedShort) {
    entry.Value = Get16(bytes + 8, Motorola);
  } else {
    entry.Value = Get32(bytes + 8, Motorola);
  }
}

void TExif::ApplyImageEntry(const TIfdEntry& entry, std::uint64_t base) {
  const std::uint64_t at = base + entry.Value;
  switch (entry.Tag) {
    case 0x010E:
      ImageDescription = ReadAsciiValue(entry, base);
      break;
    case 0x010F:
      Make = ReadAsciiValue(entry, base);
      break;
    case 0x0110:
      Model = ReadAsciiValue(entry, base);
      break;
    case 0x0112:
      ApplyOrientationEntry(entry);
      break;
    case 0x011A:
      XResolution = ReadLongAt(at);
      break;
    case 0x011B:
      YResolution = ReadLongAt(at);
      break;
    case 0x0131:
      Software = ReadAsciiValue(entry, base);
      break;
    case 0x0132:
      DateTime = ReadAsciiValue(entry, base);
      break;
    case 0x013B:
      Artist = ReadAsciiValue(entry, base);
      break;
    case 0x8298:
      Copyright = ReadAsciiValue(entry, base);
      break;
    case 0x8769:
      ExifIFDOffset = entry.Value;
      break;
    default:
      break;
  }
}

// Viewers turn by the first entry alone, and only by a single SHORT or SSHORT
// (the same bytes for every orientation): a later entry or a value of another
// form must not turn our output away from how viewers show the source.
void TExif::ApplyOrientationEntry(const TIfdEntry& entry) {
  if (orientation_read_) {
    return;
  }
  orientation_read_ = true;
  Orientation = Low8(entry.Value);
  OrientationText = OrientationName(Orientation);
  const bool single_short =
      (entry.Type == kTypeShort || entry.Type == kTypeSignedShort) && entry.Count == 1;
  OrientationValue = single_short ? entry.Value : 0;
}

void TExif::ApplyExifEntry(const TIfdEntry& entry, std::uint64_t base) {
  const std::uint64_t at = base + entry.Value;
  switch (entry.Tag) {
    case 0x829A:
      ExposureTime = ReadRationalTextAt(at, false);
      break;
    case 0x829D:
      FNumber = ReadRationalTextAt(at, true);
      break;
    case 0x8822:
      ExposureProgram = Low8(entry.Value);
      ExposureProgramText = ExposureProgramName(entry.Value);
      break;
    case 0x8827:
      ISO = static_cast<std::uint16_t>(entry.Value & 0xFFFF);
      break;
    case 0x9003:
      DateTimeOriginal = ReadAsciiValue(entry, base);
      break;
    case 0x9004:
      DateTimeDigitized = ReadAsciiValue(entry, base);
      break;
    case 0x9102:
      CompressedBitsPerPixel = ReadRationalTextAt(at, true);
      break;
    case 0x9201:
      ShutterSpeed = ReadShutterText(at);
      break;
    case 0x9202:
      Aperture = ReadRationalTextAt(at, true);
      break;
    case 0x9205:
      MaxAperture = ReadRationalTextAt(at, true);
      break;
    case 0x9207:
      MeteringMode = Low8(entry.Value);
      MeteringModeText = MeteringModeName(entry.Value);
      break;
    case 0x9208:
      LightSource = Low8(entry.Value);
      LightSourceText = LightSourceName(entry.Value);
      break;
    case 0x9209:
      Flash = Low8(entry.Value);
      FlashText = FlashName(entry.Value);
      break;
    case 0x920A:
      FocalLength = ReadRationalTextAt(at, true);
      break;
    case 0x9286:
      UserComment = ReadAsciiValue(entry, base);
      break;
    case 0xA002:
      ExifImageWidth = entry.Value;
      break;
    case 0xA003:
      ExifImageHeight = entry.Value;
      break;
    default:
      break;
  }
}

// A text of four bytes or fewer stands in the entry's value field itself, which
// the entry just read ends with.
std::string TExif::ReadAsciiValue(const TIfdEntry& entry, std::uint64_t base) {
  const std::uint64_t position = entry.Count <= 4 ? PictureFile.Position() - 4 : base + entry.Value;
  return ReadAsciiAt(position, entry.Count);
}

// Up to the first NUL, or all count bytes when a writer left out the closing
// NUL (a date counted as 19 keeps its last digit); a value that runs past the
// end of the data gives empty text.
std::string TExif::ReadAsciiAt(std::uint64_t position, std::uint32_t count) {
  const std::span<const std::uint8_t> rest = PictureFile.BytesFrom(position);
  if (count == 0 || rest.empty()) {
    return {};
  }
  const std::size_t scanned = std::min<std::size_t>(count, rest.size());
  const void* nul = std::memchr(rest.data(), 0, scanned);
  std::size_t length = 0;
  if (nul != nullptr) {
    length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - rest.data()) + 1;
  } else if (scanned == count) {
    length = scanned;
  } else {
    return {};
  }
  return TrimRight(std::string(reinterpret_cast<const char*>(rest.data()), length));
}

std::uint32_t TExif::ReadLongAt(std::uint64_t position) {
  const std::span<const std::uint8_t> rest = PictureFile.BytesFrom(position);
  return rest.size() < 4 ? 0 : Get32(rest.data(), Motorola);
}

std::string TExif::ReadRationalTextAt(std::uint64_t position, bool as_decimal) {
  const std::span<const std::uint8_t> rest = PictureFile.BytesFrom(position);
  if (rest.size() < 8) {
    return {};
  }
  const std::uint32_t numerator = Get32(rest.data(), Motorola);
  const std::uint32_t denominator = Get32(rest.data() + 4, Motorola);
  if (as_decimal) {
    return denominator == 0 ? std::string() : DecimalText(numerator, denominator);
  }
  if (denominator == kMicrosecondDenominator) {
    return "0";
  }
  return std::to_string(numerator) + "/" + std::to_string(denominator);
}

float TExif::ReadRationalAt(std::uint64_t position) {
  const std::span<const std::uint8_t> rest = PictureFile.BytesFrom(position);
  if (rest.size() < 8) {
    return 0.0f;
  }
  const std::uint32_t numerator = Get32(rest.data(), Motorola);
  const std::uint32_t denominator = Get32(rest.data() + 4, Motorola);
  if (denominator == 0) {
    return 0.0f;
  }
  return static_cast<float>(static_cast<double>(numerator) / static_cast<double>(denominator));
}

// The APEX shutter value t as "1/" 2^t " seconds"; a number of steps too large
// for a 64-bit whole number gives empty text.
std::string TExif::ReadShutterText(std::uint64_t position) {
  const float apex = ReadRationalAt(position);
  if (apex >= 65535.0f) {
    return "1 seconds";
  }
  const double steps = std::round(std::exp2(static_cast<double>(apex)));
  if (!(steps < 9223372036854775808.0)) {
    return {};
  }
  return "1/" + std::to_string(static_cast<std::int64_t>(steps)) + " seconds";
}

}  // namespace vantrel
