// The eighteen actions, in the order of the hotkey table and of the dialog's list.
#include "core/hotkey_actions.h"

#include <algorithm>
#include <utility>

namespace klv {

// For the repeat and shuffle rows osdText is the stem that " On" or " Off"
// completes; for the volume rows it is the whole text or the level's stem; for
// the rating rows it is the text shown when the host's answer is no rating.
const HotkeyAction kHotkeyActions[kHotkeyCount] = {
    {"prev_hotkey", "Previous", HostStep::kCommand, kCommandPrevious, OsdTextKind::kTitleAndTime,
     "Previous : "},
    {"play_hotkey", "Play", HostStep::kCommand, kCommandPlay, OsdTextKind::kTitleAndTime, "Play : "},
    {"pause_hotkey", "Pause", HostStep::kCommand, kCommandPause, OsdTextKind::kTitleAndTime, "Pause : "},
    {"stop_hotkey", "Stop", HostStep::kCommand, kCommandStop, OsdTextKind::kTitleAndTime, "Stop : "},
    {"next_hotkey", "Next", HostStep::kCommand, kCommandNext, OsdTextKind::kTitleAndTime, "Next : "},
    {"fwd_hotkey", "Forward", HostStep::kCommand, kCommandForward, OsdTextKind::kTitleAndTime, "Forward : "},
    {"rew_hotkey", "Rewind", HostStep::kCommand, kCommandRewind, OsdTextKind::kTitleAndTime, "Rewind : "},
    {"VolUp_hotkey", "Volume Up", HostStep::kCommand, kCommandVolumeUp, OsdTextKind::kVolume, "Volume Up"},
    {"VolDown_hotkey", "Volume Down", HostStep::kCommand, kCommandVolumeDown, OsdTextKind::kVolume,
     "Volume Down"},
    {"mainwindow_hotkey", "Activate Main WinAMP Window", HostStep::kToggleMainWindow, 0,
     OsdTextKind::kTitleAndTime, "WinAMP : "},
    {"inform_hotkey", "Show Song Information", HostStep::kNone, 0, OsdTextKind::kTitleAndTime, "Info : "},
    {"jump_hotkey", "Jump To Song", HostStep::kCommand, kCommandJumpToSong, OsdTextKind::kTitleAndTime,
     "Jump : "},
    {"repeat_hotkey", "Repeat Mode On/Off", HostStep::kCommand, kCommandToggleRepeat,
     OsdTextKind::kRepeatState, "Repeat"},
    {"shuffle_hotkey", "Shuffle Mode On/Off", HostStep::kCommand, kCommandToggleShuffle,
     OsdTextKind::kShuffleState, "Shuffle"},
    {"stop_after_current_hotkey", "Stop After Current", HostStep::kCommand, kCommandStopAfterCurrent,
     OsdTextKind::kTitleAndTime, "Stop after current : "},
    {"playpause_hotkey", "Play/Pause", HostStep::kPlayPause, 0, OsdTextKind::kOfChosenCommand, ""},
    {"rateup_hotkey", "Rating Up", HostStep::kRating, 0, OsdTextKind::kRating, "Rating Up", +1},
    {"ratedown_hotkey", "Rating Down", HostStep::kRating, 0, OsdTextKind::kRating, "Rating Down", -1},
};

namespace {
constexpr int kPlayRow = 1;
constexpr int kPauseRow = 2;
constexpr int32_t kStatePlaying = 1;
constexpr int32_t kStatePaused = 3;
constexpr int32_t kMaxRating = 5;
}  // namespace

PlayPauseChoice ChoosePlayPause(int32_t playingState) {
  if (playingState == kStatePlaying) return {kCommandPause, kPauseRow};
  // The pause command resumes a paused track, so the OSD says it plays.
  if (playingState == kStatePaused) return {kCommandPause, kPlayRow};
  return {kCommandPlay, kPlayRow};
}

int32_t SteppedRating(int32_t current, int step) {
  if (current < 0 || current > kMaxRating) return -1;
  return std::clamp(current + step, 0, kMaxRating);
}

bool RepeatsWhileHeld(const HotkeyAction& action) {
  const uint32_t command = action.command;
  return command == kCommandForward || command == kCommandRewind || command == kCommandVolumeUp ||
         command == kCommandVolumeDown;
}

namespace {
template <size_t... kRows>
HotkeyTable MakeRows(std::index_sequence<kRows...>) {
  return {HotkeyRow{kHotkeyActions[kRows], static_cast<int>(kRows), {}, {}}...};
}
}  // namespace

HotkeyTable MakeHotkeyTable() { return MakeRows(std::make_index_sequence<kHotkeyCount>()); }

PackedHotkey PackHotkey(uint16_t keyCode, bool alt, bool ctrl, bool shift, bool win) {
  uint32_t packed = static_cast<uint32_t>(keyCode) << 16;
  if (alt) packed += kModAlt;
  if (ctrl) packed += kModCtrl;
  if (shift) packed += kModShift;
  if (win) packed += kModWin;
  return static_cast<PackedHotkey>(packed);
}

uint16_t HotkeyModifiers(PackedHotkey packed) {
  return static_cast<uint16_t>(static_cast<uint32_t>(packed) & 0xFFFFu);
}

uint16_t HotkeyKeyCode(PackedHotkey packed) {
  return static_cast<uint16_t>(static_cast<uint32_t>(packed) >> 16);
}

}  // namespace klv
