#include "core/cover/image_scale.h"

#include "core/cover/cover_art.h"
#include "core/cover/cover_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

// AddressSanitizer's allocator interface (its header comes with clang, not gcc).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void* memory);

namespace klv {
namespace {

// The heap bytes live now and their peak since asked, as AddressSanitizer's
// allocator sees every malloc and new of this program.
size_t gLiveBytes = 0, gPeakBytes = 0;

void CountMalloc(const volatile void*, size_t size) {
  gLiveBytes += size;
  gPeakBytes = std::max(gPeakBytes, gLiveBytes);
}

void CountFree(const volatile void* memory) { gLiveBytes -= __sanitizer_get_allocated_size(memory); }

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

// A picture as the host hands it out, 0xAARRGGBB, from pixels given as blue, green, red.
struct ArgbPicture {
  int width, height;
  std::vector<uint32_t> pixels;
};

ArgbPicture Argb(int width, int height, const std::vector<Pixel>& pixels) {
  ArgbPicture picture{width, height, {}};
  for (const Pixel& p : pixels) picture.pixels.push_back(0xFF000000u | p[2] << 16 | p[1] << 8 | p[0]);
  return picture;
}

// Each target pixel is the mean of the source area it covers, never one sample.
TEST(FitArgbCover, AveragesTheAreaEachPixelCoversAndKeepsTheProportions) {
  struct Case {
    const char* label;
    ArgbPicture source;
    int side;
    int width, height;
    std::vector<Pixel> pixels;  // the target, row by row; one pixel: all of them
  } const cases[] = {
      {"4 x 2 into 2: pairs averaged, half as tall",
       Argb(4, 2,
            {{0, 0, 0}, {100, 0, 0}, {200, 0, 0}, {255, 0, 0}, {0, 0, 0}, {100, 0, 0}, {0, 0, 0}, {1, 0, 0}}),
       2,
       2,
       1,
       {{50, 0, 0}, {114, 0, 0}}},
      {"3 x 1 into 2: the middle pixel shared half and half",
       Argb(3, 1, {{0, 0, 0}, {90, 30, 3}, {180, 60, 9}}),
       2,
       2,
       1,
       {{30, 10, 1}, {150, 50, 7}}},
      {"1 x 2 into 4: tall, grown",
       Argb(1, 2, {{10, 20, 30}, {50, 60, 70}}),
       4,
       2,
       4,
       {{10, 20, 30},
        {10, 20, 30},
        {10, 20, 30},
        {10, 20, 30},
        {50, 60, 70},
        {50, 60, 70},
        {50, 60, 70},
        {50, 60, 70}}},
      {"3 x 2 into 64: 42.67 rows round to 43",
       Argb(3, 2, std::vector<Pixel>(6, {10, 20, 30})),
       64,
       64,
       43,
       {{10, 20, 30}}},
      {"2 x 3 into 64: its twin, 43 columns",
       Argb(2, 3, std::vector<Pixel>(6, {10, 20, 30})),
       64,
       43,
       64,
       {{10, 20, 30}}},
      {"5 x 1 into 2: never thinner than a pixel",
       Argb(5, 1, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {250, 0, 0}}),
       2,
       2,
       1,
       {{0, 0, 0}, {100, 0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const BgrImage fitted = FitArgbCover(c.source.pixels.data(), c.source.width, c.source.height, c.side);
    ASSERT_EQ(fitted.width, c.width);
    ASSERT_EQ(fitted.height, c.height);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        EXPECT_EQ(At(fitted, x, y), c.pixels.size() == 1 ? c.pixels[0] : c.pixels[y * c.width + x])
            << x << "," << y;
  }
  EXPECT_EQ(FitArgbCover(nullptr, 4, 4, 64).width, 0);
}

// The host's pixels are averaged where they lie: a large picture costs the fit
// its shares and the cover, never a copy of the picture (12 MB here).
TEST(FitArgbCover, LeavesTheHostsPixelsWhereTheyAre) {
  const std::vector<uint32_t> pixels(2048u * 2048u, 0xFF102030u);
  ASSERT_NE(__sanitizer_install_malloc_and_free_hooks(CountMalloc, CountFree), 0);
  const size_t before = gLiveBytes;
  gPeakBytes = before;
  const BgrImage fitted = FitArgbCover(pixels.data(), 2048, 2048, 96);
  EXPECT_LT(gPeakBytes - before, 1u << 20);
  ASSERT_EQ(fitted.width, 96);
  EXPECT_EQ(At(fitted, 95, 95), (Pixel{0x30, 0x20, 0x10}));
}

// The largest reduction whose picture still covers the fitted cover on both edges.
TEST(CoverReduction, TheLargestThatStillCoversTheCover) {
  struct Case {
    int width, height, dpi, reduction;
  } const cases[] = {
      // Edges rounded up: 505 / 8 is 64 pixels, 504 / 8 only 63.
      {512, 512, 96, 8},  {505, 505, 96, 8},  {504, 504, 96, 4},  {3000, 3000, 96, 8},
      {130, 130, 96, 2},  {126, 126, 96, 1},  {64, 64, 96, 1},    {4000, 400, 96, 8},  // 64 x 6 shown
      {500, 500, 144, 4}, {768, 768, 144, 8}, {760, 760, 144, 4}, {3000, 3000, 144, 8},
      {200, 760, 144, 4},  // 25 x 96 shown: 95 rows at an eighth
      {200, 768, 144, 8}, {190, 90, 144, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.dpi));
    EXPECT_EQ(CoverReduction(c.width, c.height, CoverSide(c.dpi)), c.reduction);
  }
}

TEST(CoverArt, SideLimitsAndWhatIsAFile) {
  EXPECT_EQ(CoverSide(96), 64);
  EXPECT_EQ(CoverSide(144), 96);
  EXPECT_EQ(CoverSide(120), 80);
  EXPECT_TRUE(IsUsableCoverSize(4096, 4096));
  EXPECT_FALSE(IsUsableCoverSize(4097, 1));
  EXPECT_FALSE(IsUsableCoverSize(1, 4097));
  EXPECT_FALSE(IsUsableCoverSize(0, 10));
  EXPECT_TRUE(IsFilePath(u"C:\\Music\\a.mp3"));
  EXPECT_TRUE(IsFilePath(u"\\\\server\\share\\a.flac"));
  EXPECT_FALSE(IsFilePath(u"http://radio.example/stream"));
  EXPECT_FALSE(IsFilePath(u""));
}

// The last eight files asked for, a file without a cover among them.
TEST(CoverCache, KeepsTheEightFilesUsedLast) {
  CoverCache cache;
  const auto picture = std::make_shared<const BgrImage>(Image(1, 1, {{1, 2, 3}}));
  for (int i = 0; i < 8; ++i)
    cache.Put(u"f" + std::u16string(1, char16_t(u'0' + i)), 64, i == 3 ? nullptr : picture);
  CoverCache::Picture found;
  ASSERT_TRUE(cache.Find(u"f0", 64, found));  // now the most recent: f1 is the oldest
  EXPECT_EQ(found, picture);
  EXPECT_TRUE(cache.Find(u"f3", 64, found));
  EXPECT_EQ(found, nullptr);
  EXPECT_FALSE(cache.Find(u"f0", 96, found)) << "fitted to another side";
  cache.Put(u"f8", 64, picture);
  EXPECT_EQ(cache.Size(), 8u);
  EXPECT_FALSE(cache.Find(u"f1", 64, found));
  for (const char16_t* kept : {u"f0", u"f2", u"f3", u"f7", u"f8"}) EXPECT_TRUE(cache.Find(kept, 64, found));
}

}  // namespace
}  // namespace klv
