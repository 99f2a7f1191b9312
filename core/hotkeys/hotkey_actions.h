// The hotkey actions and the 32-bit packed key combination.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>

#include "core/host_codes.h"

namespace klv {

// Low word: modifier flags as RegisterHotKey takes them; high word: virtual-key code.
using PackedHotkey = int32_t;

constexpr uint16_t kModAlt = 1;
constexpr uint16_t kModCtrl = 2;
constexpr uint16_t kModShift = 4;
constexpr uint16_t kModWin = 8;

PackedHotkey PackHotkey(uint16_t keyCode, bool alt, bool ctrl, bool shift, bool win);
uint16_t HotkeyModifiers(PackedHotkey packed);
uint16_t HotkeyKeyCode(PackedHotkey packed);

// What an action asks of the host before its OSD text is composed.
enum class HostStep { kCommand, kToggleMainWindow, kPlayPause, kRating, kMute, kNone };

// kOfChosenCommand: the text of the row whose command the host step chose.
// kVolume: fixed, or with the host's volume level when the user asked for it.
// kRating: the playing track's rating as the host reads it back.
enum class OsdTextKind {
  kTitleAndTime,
  kFixed,
  kVolume,
  kRepeatState,
  kShuffleState,
  kOfChosenCommand,
  kRating
};

struct HotkeyAction {
  const char* atomName;  // also the key under [HotKeys]
  const char* caption;   // row of the configuration dialog's hotkey list
  HostStep step;
  uint32_t command;  // WM_COMMAND id when step is kCommand
  OsdTextKind osdKind;
  const char* osdText;  // prefix for kTitleAndTime, whole text for kFixed and kVolume
  int ratingStep = 0;   // +1 or -1 when step is kRating
};

// One row per action, in the order of the hotkey table, of the dialog's list
// and of the file: adding an action is adding its row here.
// For the repeat and shuffle rows osdText is the stem that " On" or " Off"
// completes; for the volume rows it is the whole text or the level's stem; for
// the rating rows it is the text shown when the host's answer is no rating.
inline constexpr HotkeyAction kHotkeyActions[] = {
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
    // Muting shows this; the level given back shows as a change of the volume does.
    {"mute_hotkey", "Mute", HostStep::kMute, 0, OsdTextKind::kFixed, "Mute"},
};
constexpr int kHotkeyCount = static_cast<int>(std::size(kHotkeyActions));
using PackedHotkeys = std::array<PackedHotkey, kHotkeyCount>;
// The rows whose texts announce the playing state, also when the player changed it itself.
constexpr int kPlayRow = 1;
constexpr int kPauseRow = 2;
constexpr int kStopRow = 3;

// Play/Pause sends the pause command to a track that plays or is paused
// (playing state 1 or 3, the host's answer to request 104) and plays
// otherwise. Its OSD shows the Pause row's text when playback stopped and the
// Play row's text when it resumed or started.
struct PlayPauseChoice {
  uint32_t command;
  int osdRow;
};
PlayPauseChoice ChoosePlayPause(int32_t playingState);

// The rating to set (639) from the one the host read (640) and the step,
// kept within 0..5; -1 when the host's answer is no rating: nothing is set.
int32_t SteppedRating(int32_t current, int step);

// Forward, Rewind and the volume steps go on while their key is held; every
// other action runs once per press.
bool RepeatsWhileHeld(const HotkeyAction& action);

// What the system holds for one action. Its combination is the settings'
// (Settings::hotkeys at the row's position).
struct HotkeyRegistration {
  // The global atom of the action's atomName, the hotkey's id; 0 while none is held.
  uint32_t atom = 0;
  // We added the atom ourselves. An atom that registration only found
  // belongs to whoever added it, so it is never deleted for us.
  bool atomAdded = false;
  bool registered = false;
  // Refused by another program: the combination is kept until its key is free.
  bool waiting = false;
};

// Everything known of one action. Code names an action by its row; position
// is the row's place in kHotkeyActions, the dialog's list and the file.
struct HotkeyRow {
  const HotkeyAction& action;
  int position;
  HotkeyRegistration registration;
};
using HotkeyTable = std::array<HotkeyRow, kHotkeyCount>;

// One row per action, nothing registered.
HotkeyTable MakeHotkeyTable();

}  // namespace klv
