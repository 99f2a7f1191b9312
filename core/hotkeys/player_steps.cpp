// The user's steps and Mute over the host's answers.
#include "core/hotkeys/player_steps.h"

#include <algorithm>

namespace klv {

int32_t SeekSecondsFrom(int32_t stored) {
  return stored >= 1 && stored <= kMaxSeekSeconds ? stored : kPlayerSeekSeconds;
}

int32_t VolumePercentFrom(int32_t stored) {
  return stored >= 0 && stored <= kMaxVolumePercent ? stored : kPlayerVolumeStep;
}

int32_t MutedVolumeFrom(int32_t stored) { return IsVolume(stored) ? stored : 0; }

int32_t SeekTarget(int32_t positionMs, int32_t stepSeconds, int direction) {
  // In 64 bits: a position near the top of the range plus ten minutes must not wrap.
  const int64_t target = static_cast<int64_t>(positionMs) + int64_t{direction} * stepSeconds * 1000;
  return static_cast<int32_t>(std::clamp<int64_t>(target, 0, INT32_MAX));
}

int32_t SteppedVolume(int32_t volume, int32_t percent, int direction) {
  const int32_t step = (percent * kMaxVolume + 50) / 100;
  return std::clamp(volume + direction * step, 0, kMaxVolume);
}

int32_t VolumeToStepFrom(int32_t volume, int32_t mutedVolume) {
  return mutedVolume != 0 && volume == 0 ? mutedVolume : volume;
}

MuteStep ToggleMute(int32_t volume, int32_t mutedVolume) {
  if (!IsVolume(volume)) return {-1, mutedVolume, false};
  if (mutedVolume != 0 && volume == 0) return {mutedVolume, 0, true};
  // Raised meanwhile by other means, the old level is stale: this mutes afresh.
  if (volume == 0) return {-1, 0, false};
  return {0, volume, false};
}

}  // namespace klv
