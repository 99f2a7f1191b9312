// A held key's repeats told apart from new presses. A message of a hotkey
// repeats its key exactly when the key has not gone up since the press that
// began the hold, whatever pace the keyboard keeps. The host may handle a
// message long after it was sent, so each one is judged by its own send time
// against the times a watch of our own saw the key go up. The watch runs from
// a press until the key is up and the host has handled every message sent
// before that, so no key-up the host's messages still need goes unseen.
#pragma once

#include <array>
#include <cstdint>

namespace klv {

// What the watch does after a read of the key.
struct WatchStep {
  // Ask the host thread to hand back a marker once it has handled every
  // message sent so far: then the watch may end.
  bool postMarker = false;
  bool stop = false;  // this watch is over
};

// One hotkey whose action runs once per press. Times are milliseconds on the
// tick count's clock, as messages carry them. Not thread-safe: the caller
// serialises the host thread's calls and the watch's.
class HeldKey {
 public:
  struct Verdict {
    bool repeat = false;
    // A press while no watch runs: start one that carries WatchId().
    bool startWatch = false;
  };

  // A message of the hotkey sent at time.
  Verdict OnMessage(uint32_t time);
  // No watch could be started: the hold is let go, so that a later message
  // counts as a press rather than every one as a repeat.
  void WatchFailed();
  // The watch numbered watch read the key at now. A watch's first read that
  // finds the key up counts as the key-up: it cannot know an earlier one.
  WatchStep OnRead(uint32_t watch, uint32_t now, bool down);
  // The marker of the watch numbered watch came back.
  void OnMarker(uint32_t watch);
  uint32_t WatchId() const { return watchId_; }
  bool Watching() const { return watching_; }
  // Quit and unload: the hold let go, its watch told to stop.
  void Forget();

  // A host that never hands the marker back (hung, or no longer ours) keeps
  // the watch no longer than this after the key was last seen down.
  static constexpr uint32_t kMarkerPatienceMs = 10000;

 private:
  void AddUp(uint32_t time);

  bool held_ = false;
  uint32_t lastTime_ = 0;  // the latest message's
  // Ups seen after the latest message judged, oldest first. Between two
  // messages the key goes up at most once, so these are as many as the
  // messages still waiting in the host's queue.
  static constexpr int kUpCapacity = 64;
  std::array<uint32_t, kUpCapacity> ups_{};
  int upCount_ = 0;
  bool watching_ = false;
  uint32_t watchId_ = 0;
  bool wasDown_ = true;  // at the last read; a watch starts at a press
  bool markerOut_ = false;
  uint32_t waitingSince_ = 0;  // the marker's post or the latest down
};

}  // namespace klv
