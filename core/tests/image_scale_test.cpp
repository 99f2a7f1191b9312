#include "core/image_scale.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace klv {
namespace {

using Pixel = std::array<int, 3>;  // blue, green, red

BgrImage Image(int width, int height, const std::vector<Pixel>& pixels) {
  BgrImage image;
  image.width = width;
  image.height = height;
  image.stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  image.pixels.assign(image.stride * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (size_t c = 0; c < 3; ++c)
        image.pixels[image.stride * y + x * 3 + c] = static_cast<uint8_t>(pixels[y * width + x][c]);
  return image;
}

Pixel At(const BgrImage& image, int x, int y) {
  const uint8_t* p = &image.pixels[image.stride * y + x * 3];
  return {p[0], p[1], p[2]};
}

TEST(ScaleBgrImage, OneAndAHalfTimesWiderPutsTheMeanBetweenTwoPixels) {
  const BgrImage scaled = ScaleBgrImage(Image(2, 1, {{0, 10, 200}, {255, 30, 100}}), 3, 1);
  ASSERT_EQ(scaled.width, 3);
  ASSERT_EQ(scaled.height, 1);
  EXPECT_EQ(scaled.stride, 12u);  // 9 bytes rounded up to whole DWORDs
  EXPECT_EQ(scaled.pixels.size(), 12u);
  EXPECT_EQ(At(scaled, 0, 0), (Pixel{0, 10, 200}));
  EXPECT_EQ(At(scaled, 1, 0), (Pixel{128, 20, 150}));  // 127.5 rounds up
  EXPECT_EQ(At(scaled, 2, 0), (Pixel{255, 30, 100}));
}

TEST(ScaleBgrImage, HalvingAveragesNeighbourPairs) {
  const BgrImage scaled =
      ScaleBgrImage(Image(4, 1, {{0, 0, 0}, {100, 40, 8}, {200, 80, 16}, {255, 120, 24}}), 2, 1);
  ASSERT_EQ(scaled.width, 2);
  EXPECT_EQ(At(scaled, 0, 0), (Pixel{50, 20, 4}));
  EXPECT_EQ(At(scaled, 1, 0), (Pixel{228, 100, 20}));
}

TEST(ScaleBgrImage, TheCentreOfATwoByTwoGrownToThreeIsTheMeanOfAll) {
  const BgrImage scaled =
      ScaleBgrImage(Image(2, 2, {{0, 0, 0}, {40, 0, 0}, {80, 0, 0}, {120, 0, 100}}), 3, 3);
  EXPECT_EQ(At(scaled, 1, 1), (Pixel{60, 0, 25}));
  EXPECT_EQ(At(scaled, 0, 0), (Pixel{0, 0, 0}));  // corners keep their pixel
  EXPECT_EQ(At(scaled, 2, 2), (Pixel{120, 0, 100}));
  EXPECT_EQ(At(scaled, 1, 0), (Pixel{20, 0, 0}));  // top edge: between the top two
  EXPECT_EQ(At(scaled, 0, 1), (Pixel{40, 0, 0}));  // left edge: between the left two
}

TEST(ScaleBgrImage, TheSameSizeGivesTheSamePixels) {
  const BgrImage source =
      Image(3, 2, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}});
  const BgrImage scaled = ScaleBgrImage(source, 3, 2);
  EXPECT_EQ(scaled.stride, source.stride);
  EXPECT_EQ(scaled.pixels, source.pixels);
}

TEST(ScaleBgrImage, OnePixelFillsTheWholeTarget) {
  const BgrImage scaled = ScaleBgrImage(Image(1, 1, {{9, 99, 199}}), 5, 4);
  ASSERT_EQ(scaled.height, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(scaled, x, y), (Pixel{9, 99, 199})) << x << "," << y;
}

TEST(ScaleBgrImage, EmptySourceOrTargetGivesAnEmptyImage) {
  EXPECT_TRUE(ScaleBgrImage(BgrImage{}, 4, 4).pixels.empty());
  EXPECT_TRUE(ScaleBgrImage(Image(2, 2, {{}, {}, {}, {}}), 0, 3).pixels.empty());
  EXPECT_EQ(ScaleBgrImage(Image(2, 2, {{}, {}, {}, {}}), 3, -1).width, 0);
}

}  // namespace
}  // namespace klv
