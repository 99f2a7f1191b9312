// Forward, Rewind and the volume steps by the steps the user chose, and Mute.
#pragma once

#include <cstdint>

// For Forward, Rewind, Volume Up and Volume Down: true when the user's step
// was taken; false when the action's own command is to be sent, as at the
// player's own steps.
bool TakeUserStep(uint32_t command);
// Mute, or the level back: the level it gave back, -1 when it muted.
int32_t ToggleHostMute();
// The configuration dialog's steps, each taken only within its range (seconds
// 1..600, percent 0..100); false when the value was not taken.
bool SetSeekSeconds(int32_t seconds);
bool SetVolumePercent(int32_t percent);
