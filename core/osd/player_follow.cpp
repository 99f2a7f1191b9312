// The player's notices read against what was seen last.
#include "core/osd/player_follow.h"

#include "core/hotkeys/hotkey_actions.h"
#include "core/hotkeys/player_steps.h"

namespace klv {
namespace {

// The host's answer as the 32-bit value the host meant, whatever the width of intptr_t.
int32_t AnswerAsInt32(intptr_t answer) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uintptr_t>(answer)));
}

int RowAnnouncing(PlayerState state) {
  switch (state) {
    case PlayerState::kPlaying:
      return kPlayRow;
    case PlayerState::kPaused:
      return kPauseRow;
    case PlayerState::kStopped:
      return kStopRow;
    case PlayerState::kUnknown:
      break;
  }
  return -1;
}

int32_t ReadVolume(const HostQuery& host) { return AnswerAsInt32(host(kHostVolume, kHostVolumeQuery)); }

}  // namespace

PlayerState PlayerStateFrom(intptr_t answer) {
  switch (AnswerAsInt32(answer)) {
    case 0:
      return PlayerState::kStopped;
    case 1:
      return PlayerState::kPlaying;
    case 3:
      return PlayerState::kPaused;
    default:
      return PlayerState::kUnknown;
  }
}

int PlayerFollower::SeeState(PlayerState state) {
  // A state not seen before is a change: the notices come only with one.
  if (state == PlayerState::kUnknown || state == state_) return -1;
  state_ = state;
  return RowAnnouncing(state);
}

FollowedChange PlayerFollower::OnNotice(intptr_t what, const FollowOptions& follow, const HostQuery& host) {
  FollowedChange change;
  switch (what) {
    case kChangedState:
    case kChangedPaused:
    case kChangedResumed:
      if (!follow.playState) {
        state_ = PlayerState::kUnknown;
      } else if (what == kChangedState) {
        // The older 5.x players tell no more than this: the state says what happened.
        change.stateRow = SeeState(PlayerStateFrom(host(kHostPlayingState, 0)));
      } else {
        // Posted after the state notice: a pause and resume quicker than the
        // notices still shows both.
        change.stateRow = SeeState(what == kChangedPaused ? PlayerState::kPaused : PlayerState::kPlaying);
      }
      break;
    case kChangedVolume: {
      if (!follow.volume) {
        volume_ = -1;
        break;
      }
      // The same notice tells of a balance change: the volume then stays.
      const int32_t volume = ReadVolume(host);
      if (!IsVolume(volume) || volume == volume_) break;
      volume_ = volume;
      change.volume = volume;
      break;
    }
    default:
      break;
  }
  return change;
}

void PlayerFollower::NoteOwnState(const FollowOptions& follow, const HostQuery& host) {
  state_ = follow.playState ? PlayerStateFrom(host(kHostPlayingState, 0)) : PlayerState::kUnknown;
}

void PlayerFollower::NoteOwnVolume(const FollowOptions& follow, const HostQuery& host) {
  const int32_t volume = follow.volume ? ReadVolume(host) : -1;
  volume_ = IsVolume(volume) ? volume : -1;
}

}  // namespace klv
