// Resizing of decoded pictures, for showing them at the screen's DPI.
#pragma once

#include "core/cover/jpeg_decode.h"

namespace klv {

// The picture resampled to width x height (both at least 1) by bilinear
// interpolation between pixel centres; edges repeat their outer pixels.
// An empty source gives an empty image.
BgrImage ScaleBgrImage(const BgrImage& source, int width, int height);

}  // namespace klv
