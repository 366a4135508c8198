#pragma once
// Builds EXIF data and JPEG-like files byte by byte, so that tests can state
// exactly what a picture holds.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// TIFF value types.
enum ExifType : std::uint16_t {
  kExifByte = 1,
  kExifAscii = 2,
  kExifShort = 3,
  kExifLong = 4,
  kExifRational = 5,
  kExifUndefined = 7,
  kExifSignedShort = 8,
};

// One directory entry. Values that fit in four bytes are stored in the entry
// itself, left-aligned; larger ones after the directory.
struct ExifTag {
  std::uint16_t tag = 0;
  std::uint16_t type = 0;
  std::string bytes;                   // BYTE, ASCII and UNDEFINED data
  std::vector<std::uint32_t> numbers;  // (S)SHORT and LONG values; RATIONAL: numerator, denominator
  std::optional<std::uint32_t> count;  // stored count, when not the natural one
  std::optional<std::uint32_t> value_field;  // stored value field, when not the natural one
};

// `text` with its closing NUL.
ExifTag AsciiTag(std::uint16_t tag, std::string_view text);
ExifTag UndefinedTag(std::uint16_t tag, std::string_view bytes);
ExifTag ByteTag(std::uint16_t tag, std::uint8_t value);
ExifTag ShortTag(std::uint16_t tag, std::uint16_t value);
ExifTag LongTag(std::uint16_t tag, std::uint32_t value);
ExifTag RationalTag(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator);

// What the EXIF data of a picture holds.
struct ExifSpec {
  bool motorola = false;  // "MM" (big-endian) or "II"
  // Tag 0x9003 in the EXIF sub-directory; empty for none.
  std::string date_time_original = "2021:06:15 14:30:05";
  std::vector<ExifTag> ifd0;  // IFD0 entries, after the EXIF pointer
  std::vector<ExifTag> exif;  // EXIF sub-directory entries, after the date
  bool with_exif_directory = true;
  std::uint32_t ifd0_offset = 8;            // position of IFD0 from the TIFF base, at least 8
  std::optional<std::uint16_t> ifd0_count;  // stored entry counts, when not the real ones
  std::optional<std::uint16_t> exif_count;
};

// The TIFF structure: header, IFD0 with its values, EXIF sub-directory with its values.
std::string MakeExifTiff(const ExifSpec& spec);

// "Exif", two NUL bytes, then the TIFF structure.
std::string MakeExifApp1Payload(const ExifSpec& spec);

// A whole APP1 segment: FF E1, the 2-byte big-endian length (payload + 2),
// then the payload. It can be inserted into any JPEG file right after its
// FF D8 (or after its APP0 segment) to give that picture this EXIF data.
std::string MakeExifApp1Segment(const ExifSpec& spec);

// A segment of `marker` (the byte after FF) with its length and `payload`.
std::string MakeSegment(std::uint8_t marker, std::string_view payload);

// A JFIF APP0 segment whose length field is `length` (16 in the usual form; at least 7).
std::string MakeApp0Segment(std::size_t length);

// An APP1 segment of XMP data.
std::string MakeXmpSegment();

// An APP2 segment holding an ICC profile of `profile_size` bytes.
std::string MakeIccSegment(std::size_t profile_size);

// The parts of a JPEG-like file, in file order after FF D8.
// Every member has an initialiser, so that designated initialisers may leave any out.
struct JpegLayout {
  std::optional<std::size_t> app0_length{};  // an APP0 segment with this length field
  std::vector<std::string> before_exif{};    // whole segments
  std::optional<ExifSpec> exif{};            // the EXIF APP1 segment
  std::vector<std::string> after_exif{};     // whole segments
};

// FF D8, the segments, then a start of scan, a few scan bytes and FF D9.
std::string MakeJpegFile(const JpegLayout& layout);

}  // namespace testing_support
