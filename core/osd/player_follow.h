// Following what the player does by any means (its own buttons, the taskbar,
// a headset, another plug-in): the notices it posts its main window are read
// against the play state and volume seen last, so that each change shows
// once, a track start or a balance change shows nothing, and what our own
// actions did stays theirs.
#pragma once

#include <cstdint>

#include "core/osd/osd_text.h"

namespace klv {

enum class PlayerState { kUnknown, kStopped, kPlaying, kPaused };
// The host's answer to request 104: 1 playing, 3 paused, 0 stopped.
PlayerState PlayerStateFrom(intptr_t answer);

// What a notice shows: the row of the action whose text announces the new
// state (Play, Pause or Stop), and the new volume. -1 where nothing changed.
struct FollowedChange {
  int stateRow = -1;
  int32_t volume = -1;
};

// What is being followed: the OSD's "Show on pause and stop" and "Show on
// volume change", each with the OSD on.
struct FollowOptions {
  bool playState = false;
  bool volume = false;
};

class PlayerFollower {
 public:
  // A notice (host code 603) with its wParam. Asks the host for the state or
  // the volume only where that is followed; what is not followed is
  // forgotten, so that it is read afresh once it is.
  FollowedChange OnNotice(intptr_t what, const FollowOptions& follow, const HostQuery& host);
  // A track start is no change of the play state: it is the now-playing OSD's.
  void OnTrackStart() { state_ = PlayerState::kPlaying; }
  // After our own action, what it changed is known and shows as its own.
  void NoteOwnState(const FollowOptions& follow, const HostQuery& host);
  void NoteOwnVolume(const FollowOptions& follow, const HostQuery& host);
  void Forget() { *this = PlayerFollower(); }

 private:
  int SeeState(PlayerState state);

  PlayerState state_ = PlayerState::kUnknown;
  int32_t volume_ = -1;  // -1: unknown
};

}  // namespace klv
