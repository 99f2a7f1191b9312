#include "core/hotkeys/player_steps.h"

#include <gtest/gtest.h>

#include <tuple>

namespace klv {
namespace {

// Forward and Rewind: the step from the position, never below 0, past the end left to the
// player. The volume: the step rounded half up (10 % of 255 is 25.5: 26), within 0..255.
TEST(Steps, SeekAndVolumeStepsKeepTheirBounds) {
  const std::tuple<int32_t, int32_t, int, int32_t> seeks[] = {
      {65432, 30, +1, 95432}, {65432, 30, -1, 35432},  {3000, 5, -1, 0},
      {0, 600, +1, 600000},   {700000, 1, +1, 701000}, {INT32_MAX - 5, 600, +1, INT32_MAX}};
  for (const auto& [position, seconds, direction, expected] : seeks)
    EXPECT_EQ(SeekTarget(position, seconds, direction), expected) << position << " " << seconds;
  const std::tuple<int32_t, int32_t, int, int32_t> volumes[] = {
      {158, 10, +1, 184}, {158, 10, -1, 132}, {250, 10, +1, 255}, {5, 10, -1, 0},
      {0, 1, +1, 3},      {255, 1, -1, 252},  {0, 100, +1, 255},  {200, 100, -1, 0}};
  for (const auto& [volume, percent, direction, expected] : volumes)
    EXPECT_EQ(SteppedVolume(volume, percent, direction), expected) << volume << " " << percent;
}

// Mute silences and remembers; pressed again, or a volume step, starts from the remembered level
// while the player is still silent. A player raised meanwhile by other means mutes afresh.
TEST(Mute, SilencesRemembersAndGivesTheLevelBack) {
  struct Case {
    const char* label;
    int32_t volume, muted;
    MuteStep step;
    int32_t stepFrom;
  } const cases[] = {
      {"mutes", 158, 0, {0, 158, false}, 158},
      {"gives back", 0, 158, {158, 0, true}, 158},
      {"raised meanwhile", 40, 158, {0, 40, false}, 40},
      {"already silent", 0, 0, {-1, 0, false}, 0},
      {"no volume answered", -1, 158, {-1, 158, false}, -1},
      {"out of range", 256, 0, {-1, 0, false}, 256},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const MuteStep step = ToggleMute(c.volume, c.muted);
    EXPECT_EQ(step.setVolume, c.step.setVolume);
    EXPECT_EQ(step.mutedVolume, c.step.mutedVolume);
    EXPECT_EQ(step.unmuted, c.step.unmuted);
    EXPECT_EQ(VolumeToStepFrom(c.volume, c.muted), c.stepFrom);
  }
}

}  // namespace
}  // namespace klv
