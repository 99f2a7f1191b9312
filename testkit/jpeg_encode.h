// Pictures compressed to JPEG with libjpeg: the tests' pictures (grey,
// progressive, any size) and the stand-in player's demo covers. The plug-in
// only ever decodes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/cover/jpeg_decode.h"

struct JpegOptions {
  int quality = 90;
  // One component: the grey libjpeg computes from each colour.
  bool grayscale = false;
  bool progressive = false;
  // Every colour sample kept (no 2x2 averaging of the chroma): with quality
  // 100, flat 8x8 blocks come back within a step or two of their colour.
  bool fullChroma = false;
};

// Empty for an empty picture.
std::vector<uint8_t> EncodeJpeg(const klv::BgrImage& image, const JpegOptions& options = {});

struct Bgr {
  uint8_t b, g, r;
};

// A picture of rows padded to four bytes, as the decoder makes them, painted
// pixel by pixel.
klv::BgrImage PaintBgr(int width, int height, const std::function<Bgr(int x, int y)>& pixel);
