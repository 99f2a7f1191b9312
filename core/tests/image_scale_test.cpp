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

// The image against the pixels expected, given row by row and spread evenly over it: one for
// all, one per row, or one per pixel. Its rows are whole DWORDs, as a DIB's are.
void ExpectPixels(const BgrImage& image, int width, int height, const std::vector<Pixel>& pixels) {
  ASSERT_EQ(image.width, width);
  ASSERT_EQ(image.height, height);
  ASSERT_EQ(image.stride, (static_cast<size_t>(width) * 3 + 3) / 4 * 4);
  ASSERT_EQ(image.pixels.size(), image.stride * height);
  const size_t count = static_cast<size_t>(width) * height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      EXPECT_EQ(At(image, x, y), pixels[(y * width + x) * pixels.size() / count]) << x << "," << y;
}

// Each target pixel is the mean of the source area it covers, halves rounded up.
TEST(ScaleBgrImage, EachPixelIsTheMeanOfTheAreaItCovers) {
  const std::vector<Pixel> six = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}};
  struct Case {
    const char* label;
    BgrImage source;
    int width, height;
    std::vector<Pixel> pixels;
  } const cases[] = {
      // clang-format off
      {"1.5 times wider: 127.5 between two rounds up", Image(2, 1, {{0, 10, 200}, {255, 30, 100}}), 3, 1,
       {{0, 10, 200}, {128, 20, 150}, {255, 30, 100}}},
      {"halved: pairs averaged", Image(4, 1, {{0, 0, 0}, {100, 40, 8}, {200, 80, 16}, {255, 120, 24}}), 2, 1,
       {{50, 20, 4}, {228, 100, 20}}},
      {"2 x 2 grown to 3: corners kept, edges between two, the centre all four",
       Image(2, 2, {{0, 0, 0}, {40, 0, 0}, {80, 0, 0}, {120, 0, 100}}), 3, 3,
       {{0, 0, 0}, {20, 0, 0}, {40, 0, 0}, {40, 0, 0}, {60, 0, 25}, {80, 0, 50}, {80, 0, 0}, {100, 0, 50},
        {120, 0, 100}}},
      {"the same size: the same pixels", Image(3, 2, six), 3, 2, six},
      {"one pixel fills the whole target", Image(1, 1, {{9, 99, 199}}), 5, 4, {{9, 99, 199}}},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ExpectPixels(ScaleBgrImage(c.source, c.width, c.height), c.width, c.height, c.pixels);
  }
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
  const std::vector<Pixel> one(6, {10, 20, 30});
  struct Case {
    const char* label;
    int side, width, height;
    ArgbPicture source;
    std::vector<Pixel> pixels;
  } const cases[] = {
      // clang-format off
      {"4 x 2 into 2: pairs averaged, half as tall", 2, 2, 1,
       Argb(4, 2, {{0, 0, 0}, {100, 0, 0}, {200, 0, 0}, {255, 0, 0}, {0, 0, 0}, {100, 0, 0}, {0, 0, 0}, {1, 0, 0}}),
       {{50, 0, 0}, {114, 0, 0}}},
      {"3 x 1 into 2: the middle pixel shared half and half", 2, 2, 1,
       Argb(3, 1, {{0, 0, 0}, {90, 30, 3}, {180, 60, 9}}), {{30, 10, 1}, {150, 50, 7}}},
      {"1 x 2 into 4: tall, grown", 4, 2, 4, Argb(1, 2, {{10, 20, 30}, {50, 60, 70}}), {{10, 20, 30}, {50, 60, 70}}},
      {"3 x 2 into 64: 42.67 rows round to 43", 64, 64, 43, Argb(3, 2, one), {one[0]}},
      {"2 x 3 into 64: its twin, 43 columns", 64, 43, 64, Argb(2, 3, one), {one[0]}},
      {"5 x 1 into 2: never thinner than a pixel", 2, 2, 1,
       Argb(5, 1, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {250, 0, 0}}), {{0, 0, 0}, {100, 0, 0}}},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const BgrImage fitted = FitArgbCover(c.source.pixels.data(), c.source.width, c.source.height, c.side);
    ExpectPixels(fitted, c.width, c.height, c.pixels);
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
