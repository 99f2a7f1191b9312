#include "core/osd/osd_placement.h"

#include <gtest/gtest.h>

namespace klv {
namespace {

constexpr MonitorRect kSingle1024{0, 0, 1024, 768};
// Second monitors beside a 1024 x 768 primary one.
constexpr MonitorRect kRightOfPrimary{1024, 0, 2048, 768};
constexpr MonitorRect kLeftOfPrimary{-1024, 0, 0, 768};
constexpr MonitorRect kAbovePrimary{0, -768, 1024, 0};
constexpr MonitorRect kLargerLeftAndHigher{-1280, -256, 0, 768};  // 1280 x 1024

struct PlaceCase {
  const char* label;
  const MonitorRect& monitor;
  int position;
  int textWidth, textHeight;
  OsdRect expected;
};

void ExpectPlaced(const PlaceCase& c) {
  SCOPED_TRACE(c.label);
  const OsdRect r = PlaceOsd(static_cast<uint8_t>(c.position), c.textWidth, c.textHeight, c.monitor);
  EXPECT_EQ(r.x, c.expected.x);
  EXPECT_EQ(r.y, c.expected.y);
  EXPECT_EQ(r.width, c.expected.width);
  EXPECT_EQ(r.height, c.expected.height);
}

// Codes above eight place it top-left.
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
      {"9: above eight, top-left", kSingle1024, 9, 300, 13, {0, 0, 306, 19}},
      {"10", kSingle1024, 10, 300, 13, {0, 0, 306, 19}},
      {"100", kSingle1024, 100, 300, 13, {0, 0, 306, 19}},
      {"200", kSingle1024, 200, 300, 13, {0, 0, 306, 19}},
      {"255", kSingle1024, 255, 300, 13, {0, 0, 306, 19}},
  };
  for (const PlaceCase& c : cases) ExpectPlaced(c);
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
      // Too wide or too tall on a monitor at negative coordinates: its own left or top edge.
      {"left monitor, too wide", kLeftOfPrimary, 7, 2000, 13, {-1024, 376, 2006, 19}},
      {"monitor above, too tall", kAbovePrimary, 8, 300, 1000, {718, -768, 306, 1006}},
  };
  for (const PlaceCase& c : cases) ExpectPlaced(c);
}

TEST(OsdPlacement, PositionsInsideAnyMonitor) {
  const PlaceCase cases[] = {
      {"right of primary, 0", kRightOfPrimary, 0, 300, 13, {1024, 0, 306, 19}},
      {"right of primary, 4", kRightOfPrimary, 4, 300, 13, {1383, 376, 306, 19}},
      {"right of primary, 8", kRightOfPrimary, 8, 300, 13, {1742, 749, 306, 19}},
      {"left of primary, 0", kLeftOfPrimary, 0, 300, 13, {-1024, 0, 306, 19}},
      {"left of primary, 7", kLeftOfPrimary, 7, 300, 13, {-306, 376, 306, 19}},
      {"left of primary, 2", kLeftOfPrimary, 2, 300, 13, {-1024, 749, 306, 19}},
      {"above primary, 5", kAbovePrimary, 5, 300, 13, {359, -19, 306, 19}},
      {"above primary, 7", kAbovePrimary, 7, 300, 13, {718, -392, 306, 19}},
      {"larger and higher, 0", kLargerLeftAndHigher, 0, 300, 13, {-1280, -256, 306, 19}},
      {"larger and higher, 4", kLargerLeftAndHigher, 4, 300, 13, {-793, 248, 306, 19}},
      {"larger and higher, 8", kLargerLeftAndHigher, 8, 300, 13, {-306, 749, 306, 19}},
      {"above eight on the right", kRightOfPrimary, 200, 300, 13, {1024, 0, 306, 19}},
  };
  for (const PlaceCase& c : cases) ExpectPlaced(c);
}

// The system's rule for a window's monitor, on the primary and a monitor left of it.
TEST(OsdPlacement, AWindowsMonitorIsTheOneItOverlapsMost) {
  const std::vector<MonitorRect> monitors = {kSingle1024, kLeftOfPrimary};
  struct Case {
    const char* label;
    MonitorRect window;
    int expected;
  } const cases[] = {
      {"inside the left one", {-900, 100, -500, 400}, 1},
      {"mostly on the left one", {-300, 0, 100, 300}, 1},
      {"mostly on the primary", {-100, 0, 300, 300}, 0},
      {"half and half: the earlier", {-200, 0, 200, 300}, 0},
      {"on neither", {3000, 0, 3400, 300}, -1},
      {"empty", {-500, 100, -500, 400}, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(MonitorOverlappingMost(monitors, c.window), c.expected) << c.label;
  EXPECT_EQ(MonitorHolding(monitors, -1, 0), 1);
  EXPECT_EQ(MonitorHolding(monitors, 0, 767), 0);
  EXPECT_EQ(MonitorHolding(monitors, 0, 768), -1);  // right and bottom edges are outside
  // Full screen on a monitor: the window covers all of it, wherever else it reaches.
  EXPECT_TRUE(CoversMonitor({-1024, 0, 1024, 768}, kSingle1024));
  EXPECT_FALSE(CoversMonitor({-1024, 0, 0, 768}, kSingle1024));
  EXPECT_FALSE(CoversMonitor({0, 1, 1024, 768}, kSingle1024));
}

}  // namespace
}  // namespace klv
