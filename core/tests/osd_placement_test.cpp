#include "core/osd_placement.h"

#include <gtest/gtest.h>

namespace klv {
namespace {

constexpr ScreenMetrics kSingle1024{1024, 768, 0, 0, 1024, 768};
// A second 1280 x 1024 monitor to the left of the primary one.
constexpr ScreenMetrics kLeftMonitor{1024, 768, -1280, 0, 2304, 1024};

struct PlaceCase {
  const char* label;
  const ScreenMetrics& screen;
  int position;
  int textWidth, textHeight;
  OsdRect expected;
};

void ExpectPlaced(const PlaceCase& c) {
  SCOPED_TRACE(c.label);
  const OsdRect r = PlaceOsd(static_cast<uint8_t>(c.position), c.textWidth, c.textHeight, c.screen);
  EXPECT_EQ(r.x, c.expected.x);
  EXPECT_EQ(r.y, c.expected.y);
  EXPECT_EQ(r.width, c.expected.width);
  EXPECT_EQ(r.height, c.expected.height);
}

TEST(OsdPlacement, NinePositionsOnOneScreen) {
  // Text 300 x 13: window 306 x 19.
  const PlaceCase cases[] = {
      {"0 top-left", kSingle1024, 0, 300, 13, {0, 0, 306, 19}},
      {"1 left middle", kSingle1024, 1, 300, 13, {0, 376, 306, 19}},
      {"2 bottom-left", kSingle1024, 2, 300, 13, {0, 749, 306, 19}},
      {"3 top centre", kSingle1024, 3, 300, 13, {359, 0, 306, 19}},
      {"4 centre", kSingle1024, 4, 300, 13, {359, 376, 306, 19}},
      {"5 bottom centre", kSingle1024, 5, 300, 13, {359, 749, 306, 19}},
      {"6 top-right", kSingle1024, 6, 300, 13, {718, 0, 306, 19}},
      {"7 right middle", kSingle1024, 7, 300, 13, {718, 376, 306, 19}},
      {"8 bottom-right", kSingle1024, 8, 300, 13, {718, 749, 306, 19}},
      {"4 with odd free width", kSingle1024, 4, 301, 13, {358, 376, 307, 19}},
  };
  for (const PlaceCase& c : cases) ExpectPlaced(c);
}

TEST(OsdPlacement, CodesAboveEightPlaceTopLeft) {
  for (int code : {9, 10, 100, 255}) {
    SCOPED_TRACE(code);
    ExpectPlaced({"above eight", kSingle1024, code, 300, 13, {0, 0, 306, 19}});
  }
}

TEST(OsdPlacement, ClampsToTheDesktop) {
  const PlaceCase cases[] = {
      // One long word wider than the screen: left edge on the desktop's left, the rest past the right.
      {"too wide, right", kSingle1024, 7, 2000, 13, {0, 376, 2006, 19}},
      {"too wide, centre", kSingle1024, 4, 1500, 13, {0, 376, 1506, 19}},
      // Taller than the desktop: the top edge stays on it.
      {"too tall, bottom", kSingle1024, 8, 300, 1000, {718, 0, 306, 1006}},
      {"too tall, middle", kSingle1024, 1, 300, 900, {0, 0, 306, 906}},
      {"exactly the screen's height", kSingle1024, 2, 300, 762, {0, 0, 306, 768}},
      // The bottom row on a taller virtual screen is not pulled down to its bottom.
      {"left monitor, bottom-right", kLeftMonitor, 8, 300, 13, {718, 753, 306, 19}},
      // The tests compare with the virtual width itself, so the window may start left of the primary screen.
      {"left monitor, too wide from the left", kLeftMonitor, 0, 3000, 13, {-702, 0, 3006, 19}},
      {"left monitor, too wide centred", kLeftMonitor, 4, 2000, 13, {-491, 376, 2006, 19}},
      {"left monitor, too wide from the right", kLeftMonitor, 7, 3000, 13, {-1280, 376, 3006, 19}},
  };
  for (const PlaceCase& c : cases) ExpectPlaced(c);
}

TEST(OsdPlacement, DesktopAboveThePrimaryScreen) {
  // A monitor above the primary one puts the virtual top at -1024.
  const ScreenMetrics above{1024, 768, 0, -1024, 1280, 1792};
  ExpectPlaced({"top row", above, 6, 300, 13, {718, 0, 306, 19}});
  ExpectPlaced({"too tall", above, 0, 300, 2000, {0, 1792 - 2006, 306, 2006}});
  const ScreenMetrics aboveShort{1024, 768, 0, -300, 1024, 600};
  ExpectPlaced({"too tall for a short desktop", aboveShort, 8, 300, 1000, {718, -300, 306, 1006}});
}

}  // namespace
}  // namespace klv
