#include "core/alpha.h"

#include <gtest/gtest.h>

namespace klv {
namespace {

TEST(Alpha, PercentToAlphaTruncates) {
  const std::pair<int, int> cases[] = {{100, 255}, {50, 127}, {1, 2},    {0, 0},     {99, 252},
                                       {33, 84},   {-1, 0},   {-500, 0}, {101, 255}, {1000, 255}};
  for (const auto& [percent, alpha] : cases) {
    SCOPED_TRACE(percent);
    EXPECT_EQ(PercentToAlpha(percent), alpha);
  }
}

TEST(Alpha, AlphaToPercentTruncates) {
  const std::pair<int, int> cases[] = {{255, 100}, {127, 49}, {128, 50}, {0, 0}, {1, 0}, {3, 1}, {254, 99}};
  for (const auto& [alpha, percent] : cases) {
    SCOPED_TRACE(alpha);
    EXPECT_EQ(AlphaToPercent(static_cast<uint8_t>(alpha)), percent);
  }
}

TEST(Alpha, EveryPercentageStaysWithinOneOfItself) {
  EXPECT_EQ(AlphaToPercent(PercentToAlpha(50)), 49);  // fifty shows again as forty-nine
  for (int percent = 0; percent <= 100; ++percent) {
    const int back = AlphaToPercent(PercentToAlpha(percent));
    EXPECT_LE(back, percent);
    EXPECT_GE(back, percent - 1);
  }
}

TEST(Alpha, EffectiveAlphaUsesTheLevelOnlyWhenItsSwitchIsOn) {
  Settings settings;
  settings.alphaLevels = {10, 20, 30, 40, 50, 60};
  struct Case {
    bool activeOn, inactiveOn;
    HostWindow window;
    bool active;
    uint8_t expected;
  };
  const Case cases[] = {
      {false, false, HostWindow::kMain, true, 255},     {false, false, HostWindow::kPlaylist, false, 255},
      {true, false, HostWindow::kMain, true, 10},       {true, false, HostWindow::kPlaylist, true, 20},
      {true, false, HostWindow::kEqualizer, true, 30},  {true, false, HostWindow::kEqualizer, false, 255},
      {false, true, HostWindow::kMain, false, 40},      {false, true, HostWindow::kPlaylist, false, 50},
      {false, true, HostWindow::kEqualizer, false, 60}, {false, true, HostWindow::kMain, true, 255},
      {true, true, HostWindow::kPlaylist, true, 20},    {true, true, HostWindow::kPlaylist, false, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.activeOn << c.inactiveOn << static_cast<int>(c.window) << c.active);
    settings.activeEnabled = c.activeOn;
    settings.inactiveEnabled = c.inactiveOn;
    EXPECT_EQ(EffectiveAlpha(settings, c.window, c.active), c.expected);
  }
}

}  // namespace
}  // namespace klv
