// Alpha levels and the percentages the configuration dialog shows.
#pragma once

#include <cstdint>

#include "core/settings/settings.h"

namespace klv {

uint8_t PercentToAlpha(int percent);  // percent * 255 / 100, percent clamped to 0..100
int AlphaToPercent(uint8_t alpha);    // alpha * 100 / 255

enum class HostWindow { kMain = 0, kPlaylist = 1, kEqualizer = 2 };

// The alpha of a window in the active or inactive state: its level when that
// state's switch is on, 255 otherwise.
uint8_t EffectiveAlpha(const Settings& settings, HostWindow window, bool active);

}  // namespace klv
