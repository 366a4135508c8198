#include "support/exif_builder.h"

#include <stdexcept>

namespace testing_support {

namespace {

constexpr std::uint16_t kExifPointerTag = 0x8769;
constexpr std::uint16_t kDateTimeOriginalTag = 0x9003;

class Writer {
 public:
  explicit Writer(bool motorola) : motorola_(motorola) {}

  void Put8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
  void Put16(std::uint16_t value) {
    if (motorola_) {
      Put8(static_cast<std::uint8_t>(value >> 8));
      Put8(static_cast<std::uint8_t>(value));
    } else {
      Put8(static_cast<std::uint8_t>(value));
      Put8(static_cast<std::uint8_t>(value >> 8));
    }
  }
  void Put32(std::uint32_t value) {
    if (motorola_) {
      Put16(static_cast<std::uint16_t>(value >> 16));
      Put16(static_cast<std::uint16_t>(value));
    } else {
      Put16(static_cast<std::uint16_t>(value));
      Put16(static_cast<std::uint16_t>(value >> 16));
    }
  }
  void PutBytes(std::string_view bytes) { bytes_ += bytes; }
  void PadTo(std::size_t size) {
    if (bytes_.size() < size) bytes_.resize(size, '\0');
  }
  void PadEven() { PadTo(bytes_.size() + bytes_.size() % 2); }
  std::size_t size() const { return bytes_.size(); }
  std::string Take() { return std::move(bytes_); }

 private:
  bool motorola_;
  std::string bytes_;
};

std::uint32_t NaturalCount(const ExifTag& tag) {
  switch (tag.type) {
    case kExifShort:
    case kExifSignedShort:
    case kExifLong:
      return static_cast<std::uint32_t>(tag.numbers.size());
    case kExifRational:
      return static_cast<std::uint32_t>(tag.numbers.size() / 2);
    default:
      return static_cast<std::uint32_t>(tag.bytes.size());
  }
}

// The value's bytes in the file's order.
std::string EncodeValue(const ExifTag& tag, bool motorola) {
  Writer out(motorola);
  switch (tag.type) {
    case kExifShort:
    case kExifSignedShort:
      for (std::uint32_t n : tag.numbers) out.Put16(static_cast<std::uint16_t>(n));
      break;
    case kExifLong:
    case kExifRational:
      for (std::uint32_t n : tag.numbers) out.Put32(n);
      break;
    default:
      out.PutBytes(tag.bytes);
  }
  return out.Take();
}

// Writes a directory at the writer's end, its large values right after it.
void WriteDirectory(Writer& out, const std::vector<ExifTag>& tags,
                    std::optional<std::uint16_t> stored_count, bool motorola) {
  out.Put16(stored_count.value_or(static_cast<std::uint16_t>(tags.size())));
  std::size_t data_position = out.size() + 12 * tags.size() + 4;
  std::string data;
  for (const ExifTag& tag : tags) {
    const std::string value = EncodeValue(tag, motorola);
    out.Put16(tag.tag);
    out.Put16(tag.type);
    out.Put32(tag.count.value_or(NaturalCount(tag)));
    if (tag.value_field) {
      out.Put32(*tag.value_field);
    } else if (value.size() <= 4) {
      std::string field = value;
      field.resize(4, '\0');
      out.PutBytes(field);
    } else {
      out.Put32(static_cast<std::uint32_t>(data_position + data.size()));
      data += value;
      if (data.size() % 2 != 0) data += '\0';
    }
  }
  out.Put32(0);  // no next directory
  out.PutBytes(data);
}

}  // namespace

ExifTag AsciiTag(std::uint16_t tag, std::string_view text) {
  ExifTag result{tag, kExifAscii, std::string(text), {}, {}, {}};
  result.bytes += '\0';
  return result;
}

ExifTag UndefinedTag(std::uint16_t tag, std::string_view bytes) {
  return {tag, kExifUndefined, std::string(bytes), {}, {}, {}};
}

ExifTag ByteTag(std::uint16_t tag, std::uint8_t value) {
  return {tag, kExifByte, std::string(1, static_cast<char>(value)), {}, {}, {}};
}

ExifTag ShortTag(std::uint16_t tag, std::uint16_t value) {
  return {tag, kExifShort, {}, {value}, {}, {}};
}

ExifTag LongTag(std::uint16_t tag, std::uint32_t value) {
  return {tag, kExifLong, {}, {value}, {}, {}};
}

ExifTag RationalTag(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator) {
  return {tag, kExifRational, {}, {numerator, denominator}, {}, {}};
}

std::string MakeExifTiff(const ExifSpec& spec) {
  if (spec.ifd0_offset < 8) throw std::invalid_argument("IFD0 must follow the TIFF header");
  Writer out(spec.motorola);
  out.PutBytes(spec.motorola ? "MM" : "II");
  out.Put16(42);
  out.Put32(spec.ifd0_offset);
  out.PadTo(spec.ifd0_offset);

  std::vector<ExifTag> exif;
  if (!spec.date_time_original.empty()) {
    exif.push_back(AsciiTag(kDateTimeOriginalTag, spec.date_time_original));
  }
  exif.insert(exif.end(), spec.exif.begin(), spec.exif.end());

  std::vector<ExifTag> ifd0;
  if (spec.with_exif_directory) ifd0.push_back(LongTag(kExifPointerTag, 0));
  ifd0.insert(ifd0.end(), spec.ifd0.begin(), spec.ifd0.end());

  // The sub-directory's position is known only once IFD0 is laid out: write it
  // once to measure, then again with the pointer set.
  Writer probe(spec.motorola);
  WriteDirectory(probe, ifd0, spec.ifd0_count, spec.motorola);
  if (spec.with_exif_directory) {
    std::size_t exif_position = spec.ifd0_offset + probe.size();
    exif_position += exif_position % 2;
    ifd0.front().numbers = {static_cast<std::uint32_t>(exif_position)};
  }
  WriteDirectory(out, ifd0, spec.ifd0_count, spec.motorola);
  if (spec.with_exif_directory) {
    out.PadEven();
    WriteDirectory(out, exif, spec.exif_count, spec.motorola);
  }
  return out.Take();
}

std::string MakeExifApp1Payload(const ExifSpec& spec) {
  return std::string("Exif\0\0", 6) + MakeExifTiff(spec);
}

std::string MakeSegment(std::uint8_t marker, std::string_view payload) {
  if (payload.size() + 2 > 0xFFFF) throw std::invalid_argument("segment too long");
  std::string segment{'\xFF', static_cast<char>(marker)};
  const std::size_t length = payload.size() + 2;
  segment += static_cast<char>(length >> 8);
  segment += static_cast<char>(length & 0xFF);
  segment += payload;
  return segment;
}

std::string MakeExifApp1Segment(const ExifSpec& spec) {
  return MakeSegment(0xE1, MakeExifApp1Payload(spec));
}

std::string MakeApp0Segment(std::size_t length) {
  if (length < 7) throw std::invalid_argument("APP0 too short");
  std::string payload("JFIF\0\x01\x01\x00\x00\x48\x00\x48\x00\x00", 14);
  payload.resize(length - 2, '\0');
  return MakeSegment(0xE0, payload);
}

std::string MakeXmpSegment() {
  return MakeSegment(0xE1, std::string("http://ns.adobe.com/xap/1.0/\0", 29) +
                               "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"></x:xmpmeta>");
}

std::string MakeIccSegment(std::size_t profile_size) {
  std::string payload("ICC_PROFILE\0\x01\x01", 14);
  payload.resize(14 + profile_size, 'P');
  return MakeSegment(0xE2, payload);
}

std::string MakeJpegFile(const JpegLayout& layout) {
  std::string file = "\xFF\xD8";
  if (layout.app0_length) file += MakeApp0Segment(*layout.app0_length);
  for (const std::string& segment : layout.before_exif) file += segment;
  if (layout.exif) file += MakeExifApp1Segment(*layout.exif);
  for (const std::string& segment : layout.after_exif) file += segment;
  file += MakeSegment(0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6));
  file += "\x12\x34\xFF\x00\x56\xFF\xD9";
  return file;
}

}  // namespace testing_support
