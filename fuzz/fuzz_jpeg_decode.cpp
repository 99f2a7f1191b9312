// The JPEG decode of the dialog pictures and of the pictures beside a track
// (decoded within the cover limits and fitted to the OSD's square) over
// arbitrary bytes: no fault, no runaway allocation, and a success always comes
// with a whole DIB-shaped image, a cover within its square.
#include <cstdint>

#include "core/cover/cover_art.h"
#include "core/cover/jpeg_decode.h"
#include "fuzz/fuzz_check.h"

namespace {

void CheckDibShape(const klv::BgrImage& image) {
  FUZZ_CHECK(image.width > 0 && image.height > 0);
  FUZZ_CHECK(image.stride % 4 == 0 && image.stride >= static_cast<size_t>(image.width) * 3 &&
             image.stride < static_cast<size_t>(image.width) * 3 + 4);
  FUZZ_CHECK(image.pixels.size() == image.stride * static_cast<size_t>(image.height));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  klv::BgrImage image;
  if (klv::DecodeJpegToBgr(data, size, image)) CheckDibShape(image);
  klv::BgrImage cover;
  const int side = size > 0 ? 1 + data[0] % 128 : klv::kCoverSideAt96Dpi;
  klv::MemoryJpegInput input(data, size);
  if (klv::DecodeCoverPicture(input, side, cover)) {
    CheckDibShape(cover);
    FUZZ_CHECK(cover.width <= side && cover.height <= side && (cover.width == side || cover.height == side));
  }
  return 0;
}
