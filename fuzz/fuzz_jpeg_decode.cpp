// The JPEG decode of the dialog pictures over arbitrary bytes: no fault, no
// runaway allocation, and a success always comes with a whole DIB-shaped image.
#include <cstdint>

#include "core/jpeg_decode.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  klv::BgrImage image;
  if (!klv::DecodeJpegToBgr(data, size, image)) return 0;
  FUZZ_CHECK(image.width > 0 && image.height > 0);
  FUZZ_CHECK(image.stride % 4 == 0 && image.stride >= static_cast<size_t>(image.width) * 3 &&
             image.stride < static_cast<size_t>(image.width) * 3 + 4);
  FUZZ_CHECK(image.pixels.size() == image.stride * static_cast<size_t>(image.height));
  return 0;
}
