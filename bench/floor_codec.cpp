// `floor_codec IN OUT`: decodes IN and encodes it to OUT with the generator's
// libjpeg settings and nothing else, the floor that the generator is measured
// against.

#include "floor_codec.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: floor_codec IN OUT\n");
    return 2;
  }
  std::FILE* in = std::fopen(argv[1], "rb");
  if (in == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const auto picture = floor_codec::Decode(in);
  std::fclose(in);
  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) {
    std::perror(argv[2]);
    return 1;
  }
  floor_codec::Encode(picture, out);
  return std::fclose(out) == 0 ? 0 : 1;
}
