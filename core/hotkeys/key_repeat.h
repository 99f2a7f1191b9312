// A held key's repeats told apart from new presses by the times its hotkey
// messages were sent, never by how the key stands when one is handled: a
// busy host handles them late, after the key may have gone up and down again.
#pragma once

#include <cstdint>

namespace klv {

// A held key repeats first after delayMs, then every periodMs.
struct RepeatSchedule {
  uint32_t delayMs;
  uint32_t periodMs;
};

// The system's keyboard settings: delay 0..3 (250 to 1000 ms) and speed 0..31
// (about 2.5 to 30 repeats a second); larger values count as the largest.
RepeatSchedule RepeatScheduleFrom(uint32_t delaySetting, uint32_t speedSetting);

// One hotkey's key, as its messages show it. Times are milliseconds on the
// tick count's clock, as messages carry them.
class HeldKey {
 public:
  // A message of the hotkey sent at time: true when it repeats the held key,
  // false when it is a press (which holds the key from then on).
  bool IsRepeat(uint32_t time, const RepeatSchedule& schedule);
  // The key was seen up at time: a message sent later is a press.
  void SeenUp(uint32_t time);
  // A press ran and its key has not been seen up since.
  bool Watched() const { return held_ && !upSeen_; }
  uint32_t PressTime() const { return pressTime_; }
  void Forget() { *this = HeldKey(); }

 private:
  bool held_ = false;
  bool repeating_ = false;  // the first repeat has come
  bool upSeen_ = false;
  uint32_t pressTime_ = 0;
  uint32_t lastTime_ = 0;  // the press's or the latest repeat's
  uint32_t upTime_ = 0;
};

}  // namespace klv
