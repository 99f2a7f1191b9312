#include "core/hotkeys/key_repeat.h"

#include <algorithm>

namespace klv {

namespace {

// The tick count wraps after 49.7 days: times are ordered by their difference.
bool After(uint32_t time, uint32_t than) { return static_cast<int32_t>(time - than) > 0; }

}  // namespace

HeldKey::Verdict HeldKey::OnMessage(uint32_t time) {
  // Messages come in the order they were sent: an up at or before this one
  // decides it and none after it.
  const int spent = static_cast<int>(
      std::find_if(ups_.begin(), ups_.begin() + upCount_, [time](uint32_t up) { return After(up, time); }) -
      ups_.begin());
  std::copy(ups_.begin() + spent, ups_.begin() + upCount_, ups_.begin());
  upCount_ -= spent;
  Verdict verdict;
  // A key repeats some milliseconds after its last message; one sent by a
  // program, not the keyboard, carries the time of what came before it.
  const bool later = After(time, lastTime_);
  lastTime_ = time;
  if (held_ && spent == 0 && later) {
    verdict.repeat = true;
    return verdict;
  }
  held_ = true;
  if (!watching_) {
    watching_ = true;
    ++watchId_;
    wasDown_ = true;
    markerOut_ = false;
    verdict.startWatch = true;
  }
  return verdict;
}

void HeldKey::WatchFailed() {
  watching_ = false;
  held_ = false;
}

WatchStep HeldKey::OnRead(uint32_t watch, uint32_t now, bool down) {
  WatchStep step;
  if (!watching_ || watch != watchId_) {
    step.stop = true;
    return step;
  }
  if (!down && wasDown_) AddUp(now);
  wasDown_ = down;
  if (down) {
    waitingSince_ = now;
    return step;
  }
  if (!markerOut_) {
    markerOut_ = true;
    waitingSince_ = now;
    step.postMarker = true;
  } else if (now - waitingSince_ >= kMarkerPatienceMs) {
    watching_ = false;
    step.stop = true;
  }
  return step;
}

void HeldKey::OnMarker(uint32_t watch) {
  if (!watching_ || watch != watchId_ || !markerOut_) return;
  // Every message sent before the marker has been judged, and the key went up
  // after the last of them: the next message is a press, whenever it comes,
  // and starts a watch of its own.
  watching_ = false;
}

void HeldKey::Forget() {
  const uint32_t lastWatch = watchId_;
  *this = HeldKey();
  watchId_ = lastWatch;
}

void HeldKey::AddUp(uint32_t time) {
  // Full only behind a host stuck for dozens of presses: the oldest goes.
  if (upCount_ == kUpCapacity) {
    std::copy(ups_.begin() + 1, ups_.end(), ups_.begin());
    --upCount_;
  }
  ups_[upCount_++] = time;
}

}  // namespace klv
