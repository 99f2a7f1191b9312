// The steps of Forward, Rewind, Volume Up and Volume Down when the user chose
// them, and Mute: plain arithmetic over the host's answers.
#pragma once

#include <cstdint>

namespace klv {

// The player's own steps: its Forward and Rewind move 5 s, its Volume Up and
// Down 4 of 255. At these values the actions send the player's own commands.
constexpr int32_t kPlayerSeekSeconds = 5;
constexpr int32_t kPlayerVolumeStep = 0;  // VolumePercent's "the player's step"
constexpr int32_t kMaxSeekSeconds = 600;
constexpr int32_t kMaxVolumePercent = 100;
constexpr int32_t kMaxVolume = 255;  // the host's volume is 0..255 (request 122)

// Stored values outside their ranges read as the defaults: SeekSeconds 1..600,
// VolumePercent 0..100, MutedVolume 0..255 (0: not muted).
int32_t SeekSecondsFrom(int32_t stored);
int32_t VolumePercentFrom(int32_t stored);
int32_t MutedVolumeFrom(int32_t stored);

// Where Forward (direction +1) or Rewind (-1) jumps from the position in ms:
// a step of seconds away, never below 0. Past the end is the player's to
// handle: it moves on as its own Forward does.
int32_t SeekTarget(int32_t positionMs, int32_t stepSeconds, int direction);

// Whether an answer to the volume query is a volume at all.
constexpr bool IsVolume(int32_t answer) { return answer >= 0 && answer <= kMaxVolume; }

// The volume a step of percent of the whole range up (+1) or down (-1) from
// volume gives, the step rounded half up, kept within 0..255: 158 + 10 % is 184.
int32_t SteppedVolume(int32_t volume, int32_t percent, int direction);

// The level a volume step starts from: while muted (a level remembered and
// the player silent) the remembered one, else the player's own.
int32_t VolumeToStepFrom(int32_t volume, int32_t mutedVolume);

// What Mute does with the player's volume and the level remembered before.
struct MuteStep {
  int32_t setVolume;    // what to set with request 122; -1: nothing
  int32_t mutedVolume;  // the level to remember from now on; 0: not muted
  bool unmuted;         // the level came back: the OSD names it, else it says "Mute"
};
// Muted means a level is remembered and the player is silent: Mute then gives
// the level back. Otherwise it silences the player and remembers its level;
// a player already silent keeps nothing to give back, and one that answers
// no volume is left alone.
MuteStep ToggleMute(int32_t volume, int32_t mutedVolume);

}  // namespace klv
