// The hotkey actions' choices and the packed key combination.
#include "core/hotkeys/hotkey_actions.h"

#include <algorithm>
#include <utility>

namespace klv {

namespace {
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
  return {HotkeyRow{kHotkeyActions[kRows], static_cast<int>(kRows), {}}...};
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
