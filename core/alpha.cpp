// Alpha levels of the host windows and the percentages the dialog shows.
#include "core/alpha.h"

namespace klv {

uint8_t PercentToAlpha(int percent) {
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  return static_cast<uint8_t>(percent * 255 / 100);
}

int AlphaToPercent(uint8_t alpha) { return alpha * 100 / 255; }

uint8_t EffectiveAlpha(const Settings& settings, HostWindow window, bool active) {
  const int offset = active ? kMainActive : kMainInactive;
  const bool enabled = active ? settings.activeEnabled : settings.inactiveEnabled;
  return enabled ? settings.alphaLevels[offset + static_cast<int>(window)] : 255;
}

}  // namespace klv
