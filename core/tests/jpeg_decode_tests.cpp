#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/cover/cover_art.h"
#include "core/cover/cover_fit.h"
#include "core/cover/jpeg_decode.h"
#include "testkit/jpeg_encode.h"

namespace klv {
namespace {

// Full quality and every colour sample kept: flat 8x8 blocks come back
// within a step or two of their colour.
std::vector<uint8_t> Encode(const BgrImage& picture, bool grayscale = false, bool progressive = false) {
  return EncodeJpeg(picture, {100, grayscale, progressive, true});
}

// Within two steps per channel: what full-quality compression of flat blocks keeps.
void ExpectBgrNear(const BgrImage& image, int x, int y, Bgr expected) {
  SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
  const uint8_t* p = image.pixels.data() + image.stride * y + x * 3;
  EXPECT_NEAR(p[0], expected.b, 2);
  EXPECT_NEAR(p[1], expected.g, 2);
  EXPECT_NEAR(p[2], expected.r, 2);
}

constexpr Bgr kRed{0, 0, 255};
constexpr Bgr kBlue{255, 0, 0};
constexpr Bgr kGreen{0, 255, 0};
constexpr Bgr kGrey{128, 128, 128};

// Four flat 8x8 blocks: red, blue on top; green, grey below.
Bgr Quadrants(int x, int y) {
  if (y < 8) return x < 8 ? kRed : kBlue;
  return x < 8 ? kGreen : kGrey;
}

TEST(JpegDecode, DecodesIntoTopDownBgrRowsPaddedToFourBytes) {
  struct Case {
    const char* name;
    int width, height;
    bool progressive;
    size_t stride;
  };
  const Case cases[] = {
      {"baseline", 16, 16, false, 48},
      {"odd width pads rows", 13, 16, false, 40},
      {"progressive", 16, 16, true, 48},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> jpeg = Encode(PaintBgr(c.width, c.height, Quadrants), false, c.progressive);
    BgrImage image;
    ASSERT_TRUE(DecodeJpegToBgr(jpeg.data(), jpeg.size(), image));
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.stride, c.stride);
    ASSERT_EQ(image.pixels.size(), c.stride * c.height);
    ExpectBgrNear(image, 2, 3, kRed);
    ExpectBgrNear(image, 10, 1, kBlue);
    ExpectBgrNear(image, 4, 12, kGreen);
    ExpectBgrNear(image, 9, 15, kGrey);
  }
}

// Green 200 is grey 117 in JPEG's luminance, 0.587 of it.
TEST(JpegDecode, ExpandsGreyPicturesToThreeEqualChannels) {
  const std::vector<uint8_t> jpeg = Encode(PaintBgr(8, 8, [](int, int) { return Bgr{0, 200, 0}; }), true);
  BgrImage image;
  ASSERT_TRUE(DecodeJpegToBgr(jpeg.data(), jpeg.size(), image));
  ExpectBgrNear(image, 5, 5, Bgr{117, 117, 117});
}

TEST(JpegDecode, RefusesEveryTruncationOfAWholePicture) {
  const std::vector<uint8_t> jpeg = Encode(PaintBgr(16, 16, Quadrants), false, true);
  for (size_t cut = 0; cut < jpeg.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(jpeg.size()));
    BgrImage image;
    EXPECT_FALSE(DecodeJpegToBgr(jpeg.data(), cut, image));
  }
}

// Nothing is kept of what was refused.
TEST(JpegDecode, RefusesDataThatIsNoPicture) {
  const std::vector<std::vector<uint8_t>> cases = {
      {0xFF, 0xD8},
      {0xFF, 0xD8, 0xFF, 0xD9},
      {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0},
      std::vector<uint8_t>(64, 0xFF),
      std::vector<uint8_t>(64, 0x00),
      // Found by fuzz_jpeg_decode: 171 bytes whose frame header claims 18953 x 65496
      // grey pixels, which once sized a 3.7 GB row buffer (and wraps in 32 bits).
      {0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
       0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x10, 0x0b, 0x0c, 0x0e, 0x0c, 0x0a, 0x10,
       0x0e, 0x0d, 0x0e, 0x12, 0x11, 0x10, 0x13, 0x18, 0x28, 0x1a, 0x18, 0x16, 0x16, 0x18, 0x31, 0x23,
       0x25, 0x1d, 0x28, 0x3a, 0x33, 0x3d, 0x3c, 0x39, 0x33, 0x38, 0x37, 0x40, 0x48, 0x5c, 0x4e, 0x40,
       0x44, 0x57, 0x45, 0x37, 0x38, 0x50, 0x6d, 0x51, 0x57, 0x5f, 0x62, 0x67, 0x68, 0x67, 0x3e, 0x4d,
       0x71, 0x79, 0x70, 0x64, 0x78, 0x5c, 0x65, 0x67, 0x63, 0xff, 0xc0, 0x00, 0x0b, 0x08, 0xff, 0xd8,
       0x4a, 0x09, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00,
       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0xff, 0xc4, 0x00,
       0x18, 0x10, 0x00, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
       0x00, 0x00, 0x00, 0x02, 0x03, 0x16, 0x52, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f,
       0x00, 0x9e, 0xf9, 0x26, 0x98, 0x5f, 0x24, 0xd3, 0x1f, 0xff, 0xd9},
  };
  for (const std::vector<uint8_t>& data : cases) {
    SCOPED_TRACE(data.size());
    BgrImage image;
    EXPECT_FALSE(DecodeJpegToBgr(data.data(), data.size(), image));
    EXPECT_TRUE(image.pixels.empty());
  }
  BgrImage image;
  EXPECT_FALSE(DecodeJpegToBgr(nullptr, 0, image));
}

TEST(JpegDecode, RefusesWholePicturesAboveThePixelLimit) {
  constexpr int kWidth = 2048;
  const int limitHeight = static_cast<int>(kMaxJpegPixels / kWidth);
  struct Case {
    int width, height;
    bool decoded;
  };
  const Case cases[] = {{kWidth, limitHeight, true}, {kWidth, limitHeight + 1, false}, {65500, 65, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const std::vector<uint8_t> jpeg =
        Encode(PaintBgr(c.width, c.height, [](int, int) { return kGrey; }), true);
    BgrImage image;
    EXPECT_EQ(DecodeJpegToBgr(jpeg.data(), jpeg.size(), image), c.decoded);
  }
}

// A photograph's kind of content: colours that change smoothly but quickly,
// a full swing every 70 to 100 pixels.
Bgr Scene(int x, int y) {
  const auto Wave = [](double at, double period) {
    return static_cast<uint8_t>(std::lround(128 + 100 * std::sin(6.283185307 * at / period)));
  };
  return Bgr{Wave(x, 71), Wave(y, 97), Wave(x + y, 83)};
}

// The cover decoded reduced against the whole picture decoded and averaged
// down, as covers were made before: the same picture within a few steps.
TEST(CoverDecode, AReducedDecodeShowsTheWholePicturesCover) {
  struct Case {
    const char* label;
    int width, height, side;
    bool grayscale, progressive;
  } const cases[] = {
      {"500 x 500 at 96 DPI, a quarter", 500, 500, 64, false, false},
      {"500 x 500 at 144 DPI", 500, 500, 96, false, false},
      {"1500 x 1000, an eighth", 1500, 1000, 64, false, false},
      {"333 x 777 progressive, edges inside blocks", 333, 777, 96, false, true},
      {"grey 130 x 200, halved", 130, 200, 64, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::vector<uint8_t> jpeg = Encode(PaintBgr(c.width, c.height, Scene), c.grayscale, c.progressive);
    BgrImage whole;
    ASSERT_TRUE(DecodeJpegToBgr(jpeg.data(), jpeg.size(), whole));
    CoverFitter fitter(c.side);
    ASSERT_TRUE(fitter.Begin(whole.width, whole.height));
    for (int y = 0; y < whole.height; ++y) fitter.Row(&whole.pixels[whole.stride * y]);
    const BgrImage expected = fitter.Take();
    MemoryJpegInput input(jpeg.data(), jpeg.size());
    BgrImage cover;
    ASSERT_TRUE(DecodeCoverPicture(input, c.side, cover));
    ASSERT_EQ(cover.width, expected.width);
    ASSERT_EQ(cover.height, expected.height);
    int worst = 0;
    for (int y = 0; y < cover.height; ++y)
      for (int i = 0; i < cover.width * 3; ++i)
        worst = std::max(
            worst, std::abs(cover.pixels[cover.stride * y + i] - expected.pixels[expected.stride * y + i]));
    // Where a cover pixel's edge cuts a reduced pixel, that pixel stands for
    // its whole block: a few steps on a quick swing (up to 9 measured), and
    // 15 to 70 when the last reduced pixel is taken for a whole one.
    EXPECT_LE(worst, 10);
  }
}

// A progressive picture's coefficients stay whole until its last scan: up to
// 2048 x 2048 without chroma subsampling.
TEST(CoverDecode, KeepsAProgressivePicturesBufferWithinItsBound) {
  struct Case {
    int width, height;
    bool progressive, decoded;
  } const cases[] = {{2048, 2048, true, true}, {2048, 2056, true, false}, {64, 4097, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) +
                 (c.progressive ? " progressive" : ""));
    const std::vector<uint8_t> jpeg =
        Encode(PaintBgr(c.width, c.height, [](int x, int) { return x < 1024 ? kRed : kBlue; }), false,
               c.progressive);
    MemoryJpegInput input(jpeg.data(), jpeg.size());
    BgrImage cover;
    ASSERT_EQ(DecodeCoverPicture(input, 64, cover), c.decoded);
    if (c.decoded) ExpectBgrNear(cover, 10, 10, kRed);
  }
}

}  // namespace
}  // namespace klv
