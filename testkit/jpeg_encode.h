// BGR rows compressed to JPEG, for the stand-in player's covers and the tests' pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "core/cover/jpeg_decode.h"

namespace klv {

// Empty for an empty image. Progressive: in several scans, as pictures saved from the web often are.
std::vector<uint8_t> EncodeBgrToJpeg(const BgrImage& image, int quality = 90, bool progressive = false);

}  // namespace klv
