// JPEG data decoded into rows of BGR pixels, the layout of a 24-bit DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace klv {

struct BgrImage {
  int width = 0;
  int height = 0;
  size_t stride = 0;            // bytes per row: width * 3 rounded up to a multiple of 4
  std::vector<uint8_t> pixels;  // height rows, top row first
};

// The dialog pictures are small; a header that claims more pixels than this is
// refused before any buffer is sized from it (a few hundred bytes can claim 4 GB).
constexpr uint64_t kMaxJpegPixels = 4u << 20;

// What a picture may claim before anything is sized from it.
struct JpegLimits {
  uint64_t maxPixels = kMaxJpegPixels;
  uint32_t maxSide = UINT32_MAX;  // pixels along either edge
};

// False when the data is not a whole, decodable JPEG: garbage, a truncated or
// damaged stream, a picture beyond the limits, or (null, 0). image is then unspecified.
bool DecodeJpegToBgr(const uint8_t* data, size_t size, BgrImage& image, const JpegLimits& limits = {});

}  // namespace klv
