#pragma once
// Reads the shot date and the camera's settings from the EXIF block of a JPEG
// picture. The picture is only read, never changed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

inline constexpr std::array<std::string_view, 9> OrientationNames = {
    "Normal",
    "Mirrored",
    "Rotated 180",
    "Rotated 180, mirrored",
    "Rotated 90 left, mirrored",
    "Rotated 90 right",
    "Rotated 90 right, mirrored",
    "Rotated 90 left",
    "Unknown",
};

inline constexpr std::array<std::string_view, 9> ExposureProgramNames = {
    "Unknown",          "Manual Control", "Normal Program", "Aperture Priority", "Shutter Priority",
    "Creative Program", "Action Program", "Portrait Mode",  "Landscape Mode",
};

inline constexpr std::array<std::string_view, 8> MeteringModeNames = {
    "Unknown", "Average", "Center Weighted Average", "Spot", "Multi Spot", "Pattern",
    "Partial", "Other",
};

// The same four bytes in reverse order.
std::uint32_t SwapBytes32(std::uint32_t value);

// One 12-byte directory entry, brought into the machine's byte order.
struct TIfdEntry {
  std::uint16_t Tag = 0;
  std::uint16_t Type = 0;
  std::uint32_t Count = 0;
  std::uint32_t Value = 0;
};

// The EXIF segment of a picture held in memory and addressed by file
// positions, with a read position. Its end is the end of the data: whatever
// lies behind the segment in the file counts as past the end.
class TPictureFile {
 public:
  void Assign(std::uint64_t first_position, std::vector<std::uint8_t> bytes);
  void Close();

  void Seek(std::uint64_t position) { position_ = position; }
  std::uint64_t Position() const { return position_; }
  // Reads at the read position and moves it on; raises "Read beyond end of
  // file" when fewer than `size` bytes are left.
  void Read(std::uint8_t* target, std::size_t size);
  // The bytes from `position` to the end of the data; empty when past it.
  std::span<const std::uint8_t> BytesFrom(std::uint64_t position) const;

 private:
  std::uint64_t first_ = 0;
  std::vector<std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
};

class TExif {
 public:
  TExif();

  // Fills the fields from the picture at `path`. A path that names no file
  // leaves the object as it is. Raises platform::InOutError when the file
  // cannot be opened or read, or when its EXIF structure ends too early.
  void ReadFromFile(const std::string& path);
  // Empties every text and zeroes every number; Motorola is kept.
  void Clear();

  // Reads the next 12 bytes of the EXIF data as a directory entry.
  void ReadDirEntry(TIfdEntry& entry);
  // The value reads leave the read position where it was; a value that cannot
  // be read gives empty text or 0.
  std::string ReadAsciiAt(std::uint64_t position, std::uint32_t count);
  std::uint32_t ReadLongAt(std::uint64_t position);
  std::string ReadRationalTextAt(std::uint64_t position, bool as_decimal);
  float ReadRationalAt(std::uint64_t position);

  std::string ImageDescription;
  std::string Make;
  std::string Model;
  std::uint8_t Orientation = 0;
  // What the picture is turned by: the first entry's whole value when it is a
  // single SHORT or SSHORT, 0 otherwise. 0x0103 keeps its low byte 3 in
  // Orientation, yet names no orientation and must leave the picture as stored.
  std::uint32_t OrientationValue = 0;
  std::string OrientationText;
  std::string Copyright;
  bool HasExif = false;
  std::string DateTime;
  std::string DateTimeOriginal;
  std::string DateTimeDigitized;
  std::string UserComment;
  std::string ExposureTime;
  std::string FNumber;
  std::string ShutterSpeed;
  std::string Aperture;
  std::string MaxAperture;
  std::uint8_t ExposureProgram = 0;
  std::string ExposureProgramText;
  std::uint32_t ExifImageWidth = 0;
  std::uint32_t ExifImageHeight = 0;
  std::uint32_t XResolution = 0;
  std::uint32_t YResolution = 0;
  std::uint8_t MeteringMode = 0;
  std::string MeteringModeText;
  std::string FocalLength;
  std::uint8_t LightSource = 0;
  std::string LightSourceText;
  std::uint8_t Flash = 0;
  std::string FlashText;
  std::uint16_t ISO = 0;
  std::string Software;
  std::string Artist;
  std::string CompressedBitsPerPixel;
  TPictureFile PictureFile;
  std::uint32_t ExifIFDOffset = 0;
  bool Motorola = false;

 private:
  std::uint16_t ReadWord();
  std::uint32_t ReadDword();
  void ReadTiff(std::uint64_t base);
  void ReadImageDirectory(std::uint64_t base);
  void ReadExifDirectory(std::uint64_t base);
  void ApplyImageEntry(const TIfdEntry& entry, std::uint64_t base);
  void ApplyOrientationEntry(const TIfdEntry& entry);
  void ApplyExifEntry(const TIfdEntry& entry, std::uint64_t base);
  std::string ReadAsciiValue(const TIfdEntry& entry, std::uint64_t base);
  std::string ReadShutterText(std::uint64_t position);

  bool orientation_read_ = false;
};

}  // namespace vantrel
