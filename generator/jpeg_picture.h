#pragma once
// Reading a source picture into a bitmap and writing the stamped bitmap as a
// new JPEG file, over libjpeg.

#include <string>

#include "generator/upright.h"
#include "platform/bitmap.h"
#include "platform/errors.h"

namespace vantrel {

// An error of the codec or of the picture files; the message names the file
// (the context) and what failed (the reason).
class JpegError : public platform::Error {
 public:
  JpegError(const std::string& context, const std::string& reason)
      : platform::Error(context + ": " + reason), reason_(reason) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// Decodes the JPEG file at `path` with the codec's defaults (full size,
// floating-point DCT, fancy upsampling and block smoothing) into a 24-bit RGB
// bitmap. Grayscale, CMYK and YCCK sources come out as RGB. Damage the codec
// can get past (a truncated file, corrupt entropy data) is decoded the codec's
// way, missing parts filled in; anything else, and pictures larger than
// MaxPicturePixels(), raise JpegError. The file is only read. `turn` brings
// the pixels upright as they are decoded; the bitmap has the upright size.
platform::Bitmap DecodeJpegFile(const std::string& path, UprightTurn turn = {});

// Encodes `bitmap` as a baseline JFIF file with three components (YCbCr), the
// standard tables scaled to `quality` and the floating-point DCT, and writes it
// to `path`. The file appears under its name only when complete; a file at
// `path` that holds data is never written over (JpegError), an empty one is
// replaced. On failure nothing is left behind.
void SaveJpegFile(const platform::Bitmap& bitmap, const std::string& path, int quality);

// The largest picture, in pixels, that DecodeJpegFile accepts on this machine.
long long MaxPicturePixels();

}  // namespace vantrel
