#include "generator/jpeg_picture.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include "platform/file.h"

namespace vantrel {

namespace {

// 256 megapixels, a bitmap of 768 MiB: well beyond the pictures of today's
// cameras, and still within what an ordinary machine can hold.
constexpr long long kMaxPixels = 1LL << 28;
// Decoding time grows with the number of scans; a progressive picture has
// about ten, so only a hostile file has hundreds.
constexpr int kMaxScans = 500;
// What libjpeg may allocate for one picture: a progressive picture keeps all
// its coefficients, 2 bytes for each sample of up to 4 components, plus its
// small working buffers.
constexpr long long kLibraryBytesPerPixel = 8;
constexpr long long kLibraryHeadroom = 64LL << 20;
// Rows handed to libjpeg per call when encoding.
constexpr JDIMENSION kRowsPerCall = 16;

struct ErrorManager {
  jpeg_error_mgr pub;  // first member: libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

ErrorManager* ErrorsOf(j_common_ptr info) {
  return reinterpret_cast<ErrorManager*>(info->err);
}

[[noreturn]] void OnLibraryError(j_common_ptr info) {
  ErrorManager* errors = ErrorsOf(info);
  info->err->format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings (corrupt data, premature end of file) are only counted: the picture
// is decoded as far as its data goes and the rest filled in, as the codec does
// by default. Trace messages are dropped.
void OnLibraryMessage(j_common_ptr info, int level) {
  if (level < 0) info->err->num_warnings++;
}

void LimitScans(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans) return;
  ErrorManager* errors = ErrorsOf(info);
  std::snprintf(errors->message, sizeof errors->message, "More than %d scans", kMaxScans);
  std::longjmp(errors->jump, 1);
}

// One libjpeg object's error handling. Every libjpeg call that can fail goes
// through Run: the library's error jumps back into Run and becomes an
// exception only there, so the jump never passes a C++ destructor.
class Session {
 public:
  explicit Session(std::string context) : context_(std::move(context)) {
    jpeg_std_error(&errors_.pub);
    errors_.pub.error_exit = OnLibraryError;
    errors_.pub.emit_message = OnLibraryMessage;
    errors_.message[0] = '\0';
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // `call` may hold no object with a destructor: a jump out of it skips its frame.
  template <typename Call>
  void Run(const Call& call) {
    static_assert(std::is_trivially_destructible_v<Call>);
    if (setjmp(errors_.jump) != 0) throw JpegError(context_, errors_.message);
    call();
  }

  const std::string& context() const { return context_; }

 protected:
  ErrorManager errors_;

 private:
  std::string context_;
};

// The libjpeg objects, released also when their creation fails half-way
// (destroying a zeroed object is harmless).
struct DecompressObject {
  jpeg_decompress_struct info{};
  ~DecompressObject() { jpeg_destroy_decompress(&info); }
};
struct CompressObject {
  jpeg_compress_struct info{};
  ~CompressObject() { jpeg_destroy_compress(&info); }
};

class Decompressor : public Session {
 public:
  Decompressor(std::FILE* source, std::string context) : Session(std::move(context)) {
    jpeg_decompress_struct& info = object_.info;
    info.err = &errors_.pub;
    Run([&] { jpeg_create_decompress(&info); });
    progress_.progress_monitor = LimitScans;
    info.progress = &progress_;
    Run([&] { jpeg_stdio_src(&info, source); });
  }

  jpeg_decompress_struct& info() { return object_.info; }

 private:
  DecompressObject object_;
  jpeg_progress_mgr progress_{};
};

class Compressor : public Session {
 public:
  explicit Compressor(std::string context) : Session(std::move(context)) {
    jpeg_compress_struct& info = object_.info;
    info.err = &errors_.pub;
    Run([&] { jpeg_create_compress(&info); });
  }

  jpeg_compress_struct& info() { return object_.info; }

 private:
  CompressObject object_;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A stream with a buffer of its own, large enough that a small picture moves
// in a few system calls rather than one per 4 KiB: each call is a chance for
// a busy machine to slow the run.
struct BufferedFile {
  static constexpr std::size_t kBufferBytes = 256 * 1024;

  // Should the buffer not be taken, the stream keeps its own.
  void Take(std::FILE* stream) {
    file.reset(stream);
    std::setvbuf(stream, buffer.get(), _IOFBF, kBufferBytes);
  }
  std::FILE* get() const { return file.get(); }

  std::unique_ptr<char[]> buffer = std::make_unique<char[]>(kBufferBytes);  // outlives the stream
  FileHandle file;
};

std::string ErrnoText(int error) {
  return std::strerror(error);
}

// Opens the source read-only; a pipe cannot hang the run and anything but a
// regular file is refused.
BufferedFile OpenSource(const std::string& path, const std::string& context) {
  platform::FileDescriptor source;
  try {
    source = platform::OpenRegularFile(path);
  } catch (const platform::InOutError& error) {
    throw JpegError(context, error.what());
  }
  std::FILE* file = fdopen(source.get(), "rb");
  if (file == nullptr) throw JpegError(context, ErrnoText(errno));
  source.Release();
  BufferedFile buffered;
  buffered.Take(file);
  return buffered;
}

void RefuseHugePicture(const jpeg_decompress_struct& info, const std::string& context) {
  const long long pixels = static_cast<long long>(info.image_width) * info.image_height;
  const long long limit = MaxPicturePixels();
  if (pixels <= limit) return;
  throw JpegError(context, "the picture is " + std::to_string(info.image_width) + " x " +
                               std::to_string(info.image_height) + " pixels, more than the " +
                               std::to_string(limit) + " pixels that can be processed");
}

void ChooseDecoding(jpeg_decompress_struct& info) {
  const long long pixels = static_cast<long long>(info.image_width) * info.image_height;
  info.mem->max_memory_to_use =
      static_cast<long>(pixels * kLibraryBytesPerPixel + kLibraryHeadroom);
  info.dct_method = JDCT_FLOAT;
  info.do_fancy_upsampling = TRUE;
  info.do_block_smoothing = TRUE;
  const bool inks = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  // libjpeg turns YCCK into CMYK and grayscale into RGB; CMYK to RGB is ours.
  info.out_color_space = inks ? JCS_CMYK : JCS_RGB;
}

JDIMENSION ReadRows(Decompressor& decoder, JSAMPROW* rows, JDIMENSION count) {
  jpeg_decompress_struct& info = decoder.info();
  JDIMENSION read = 0;
  decoder.Run([&] { read = jpeg_read_scanlines(&info, rows, count); });
  if (read == 0) throw JpegError(decoder.context(), "the decoder stopped early");
  return read;
}

// Decodes `count` rows, however few of them libjpeg hands back per call.
void ReadBand(Decompressor& decoder, JSAMPROW* rows, JDIMENSION count) {
  JDIMENSION done = 0;
  while (done < count) done += ReadRows(decoder, rows + done, count - done);
}

// The next band's first row and its number of rows.
std::pair<int, int> NextBand(const jpeg_decompress_struct& info) {
  const JDIMENSION rows_left = info.output_height - info.output_scanline;
  const JDIMENSION band_rows = UprightBitmapWriter::kBandRows;
  return {static_cast<int>(info.output_scanline), static_cast<int>(std::min(band_rows, rows_left))};
}

void ReadRgbRows(Decompressor& decoder, UprightBitmapWriter& upright) {
  jpeg_decompress_struct& info = decoder.info();
  while (info.output_scanline < info.output_height) {
    const auto [first, count] = NextBand(info);
    ReadBand(decoder, upright.RowsFor(first, count), static_cast<JDIMENSION>(count));
    upright.Place(first, count);
  }
}

std::uint8_t Scale(int value, int factor) {
  return static_cast<std::uint8_t>((value * factor + 127) / 255);
}

// Adobe's programs store CMYK inverted (0 = full ink) and mark the file with
// their APP14 segment; other files store ink amounts as they are.
void InksToRgb(const JSAMPLE* inks, std::uint8_t* rgb, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, inks += 4, rgb += 3) {
    const int flip = inverted ? 0 : 255;
    const int paper_k = std::abs(flip - inks[3]);
    rgb[0] = Scale(std::abs(flip - inks[0]), paper_k);
    rgb[1] = Scale(std::abs(flip - inks[1]), paper_k);
    rgb[2] = Scale(std::abs(flip - inks[2]), paper_k);
  }
}

void ReadCmykRows(Decompressor& decoder, UprightBitmapWriter& upright) {
  jpeg_decompress_struct& info = decoder.info();
  const bool inverted = info.saw_Adobe_marker;
  const std::size_t ink_stride = static_cast<std::size_t>(info.output_width) * 4;
  std::vector<JSAMPLE> inks(ink_stride * UprightBitmapWriter::kBandRows);
  JSAMPROW ink_rows[UprightBitmapWriter::kBandRows];
  for (int i = 0; i < UprightBitmapWriter::kBandRows; ++i)
    ink_rows[i] = inks.data() + ink_stride * i;
  while (info.output_scanline < info.output_height) {
    const auto [first, count] = NextBand(info);
    ReadBand(decoder, ink_rows, static_cast<JDIMENSION>(count));
    std::uint8_t** rows = upright.RowsFor(first, count);
    for (int i = 0; i < count; ++i) InksToRgb(ink_rows[i], rows[i], info.output_width, inverted);
    upright.Place(first, count);
  }
}

// The output is written as a file without a name in the folder of its final
// name and linked to that name when complete, so that whoever waits for the
// final name never sees a part of it, and a generator that is killed leaves
// nothing behind.
class TempOutput {
 public:
  TempOutput(const std::string& final_path, std::string context)
      : context_(std::move(context)), temporary_(Begin(final_path)) {
    // The stream writes through a copy of the descriptor: the file needs the
    // original open until it has its name.
    platform::FileDescriptor copy(fcntl(temporary_->descriptor().get(), F_DUPFD_CLOEXEC, 0));
    if (!copy.valid()) Fail(errno);
    std::FILE* file = fdopen(copy.get(), "wb");
    if (file == nullptr) Fail(errno);
    copy.Release();
    file_.Take(file);
  }
  ~TempOutput() { file_.file.reset(); }
  TempOutput(const TempOutput&) = delete;
  TempOutput& operator=(const TempOutput&) = delete;

  std::FILE* file() { return file_.get(); }

  // Closing reports the write errors that the last buffered writes met.
  void Close() {
    const bool failed = std::ferror(file_.get()) != 0;
    const int error = errno;
    if (std::fclose(file_.file.release()) != 0) Fail(errno);
    if (failed) Fail(error);
  }

  // Moves into place without ever replacing a file that holds data; an empty
  // file at the final name (a name kept free for this output) is replaced.
  void Commit() {
    try {
      if (temporary_->LinkToTargetUnlessTaken()) return;
    } catch (const platform::InOutError& error) {
      throw JpegError(context_, error.what());
    }
    throw JpegError(context_, "the file already exists and holds data");
  }

 private:
  // Created like any new file: mode 0666 less the umask.
  std::unique_ptr<platform::UnnamedNewFile> Begin(const std::string& final_path) const {
    try {
      return std::make_unique<platform::UnnamedNewFile>(final_path);
    } catch (const platform::InOutError& error) {
      throw JpegError(context_, error.what());
    }
  }

  [[noreturn]] void Fail(int error) const { throw JpegError(context_, ErrnoText(error)); }

  std::string context_;
  std::unique_ptr<platform::UnnamedNewFile> temporary_;
  BufferedFile file_;
};

void CheckBitmap(const platform::Bitmap& bitmap, const std::string& context) {
  const bool consistent = bitmap.width > 0 && bitmap.height > 0 &&
                          bitmap.pixels.size() == bitmap.stride() * bitmap.height;
  if (!consistent) throw JpegError(context, "the picture is empty or inconsistent");
}

void ChooseEncoding(Compressor& encoder, const platform::Bitmap& bitmap, int quality) {
  jpeg_compress_struct& info = encoder.info();
  info.image_width = static_cast<JDIMENSION>(bitmap.width);
  info.image_height = static_cast<JDIMENSION>(bitmap.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  encoder.Run([&] {
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
  });
  info.dct_method = JDCT_FLOAT;
}

void WriteRows(Compressor& encoder, const platform::Bitmap& bitmap) {
  jpeg_compress_struct& info = encoder.info();
  while (info.next_scanline < info.image_height) {
    const JDIMENSION first = info.next_scanline;
    const JDIMENSION count = std::min(kRowsPerCall, info.image_height - first);
    JSAMPROW rows[kRowsPerCall];
    for (JDIMENSION i = 0; i < count; ++i) {
      // libjpeg only reads the rows it is given.
      rows[i] = const_cast<JSAMPROW>(bitmap.row(static_cast<int>(first + i)));
    }
    encoder.Run([&] { jpeg_write_scanlines(&info, rows, count); });
  }
}

}  // namespace

long long MaxPicturePixels() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return kMaxPixels;
  // The bitmap, 3 bytes a pixel, may take at most half of the machine's memory.
  const long long machine_limit = static_cast<long long>(pages) * page_size / 2 / 3;
  return std::min(kMaxPixels, machine_limit);
}

platform::Bitmap DecodeJpegFile(const std::string& path, UprightTurn turn) {
  const std::string context = "Cannot read the picture " + path;
  const BufferedFile source = OpenSource(path, context);
  Decompressor decoder(source.get(), context);
  jpeg_decompress_struct& info = decoder.info();
  decoder.Run([&] { jpeg_read_header(&info, TRUE); });
  RefuseHugePicture(info, context);
  ChooseDecoding(info);
  decoder.Run([&] { jpeg_start_decompress(&info); });
  const int wanted_components = info.out_color_space == JCS_CMYK ? 4 : 3;
  if (info.output_components != wanted_components) {
    throw JpegError(context, "unexpected number of colour components");
  }
  UprightBitmapWriter upright(static_cast<int>(info.output_width),
                              static_cast<int>(info.output_height), turn);
  if (info.out_color_space == JCS_CMYK) {
    ReadCmykRows(decoder, upright);
  } else {
    ReadRgbRows(decoder, upright);
  }
  decoder.Run([&] { jpeg_finish_decompress(&info); });
  return upright.Take();
}

void SaveJpegFile(const platform::Bitmap& bitmap, const std::string& path, int quality) {
  const std::string context = "Cannot write the picture " + path;
  CheckBitmap(bitmap, context);
  TempOutput output(path, context);
  {
    Compressor encoder(context);
    jpeg_compress_struct& info = encoder.info();
    std::FILE* file = output.file();
    encoder.Run([&] { jpeg_stdio_dest(&info, file); });
    ChooseEncoding(encoder, bitmap, quality);
    encoder.Run([&] { jpeg_start_compress(&info, TRUE); });
    WriteRows(encoder, bitmap);
    encoder.Run([&] { jpeg_finish_compress(&info); });
  }
  output.Close();
  output.Commit();
}

}  // namespace vantrel
