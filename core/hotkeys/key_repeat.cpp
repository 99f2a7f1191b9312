#include "core/hotkeys/key_repeat.h"

#include <algorithm>

namespace klv {

RepeatSchedule RepeatScheduleFrom(uint32_t delaySetting, uint32_t speedSetting) {
  const uint32_t delay = std::min<uint32_t>(delaySetting, 3);
  const uint32_t speed = std::min<uint32_t>(speedSetting, 31);
  // 2.5 + speed * 27.5 / 31 repeats a second, in 62nds of a repeat.
  return {(delay + 1) * 250, 62000 / (155 + 55 * speed)};
}

bool HeldKey::IsRepeat(uint32_t time, const RepeatSchedule& schedule) {
  const bool upBefore = upSeen_ && static_cast<int32_t>(time - upTime_) >= 0;
  if (held_ && !upBefore) {
    // Keyboards keep their rhythm only roughly, and under Wine it is the X
    // server's, which need not be the one the settings name: a repeat is a
    // message between three quarters and twice its interval after the last.
    // Sooner it is a press that followed a key-up; later, the key went up.
    const uint32_t interval = repeating_ ? schedule.periodMs : schedule.delayMs;
    const uint32_t gap = time - lastTime_;
    if (gap >= interval * 3 / 4 && gap <= interval * 2) {
      repeating_ = true;
      lastTime_ = time;
      return true;
    }
  }
  *this = HeldKey();
  held_ = true;
  pressTime_ = lastTime_ = time;
  return false;
}

void HeldKey::SeenUp(uint32_t time) {
  if (!held_) return;
  upSeen_ = true;
  upTime_ = time;
}

}  // namespace klv
