// The eighteen hotkey actions and the 32-bit packed key combination.
#pragma once

#include <array>
#include <cstdint>

#include "core/host_codes.h"
#include "core/settings.h"

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
enum class HostStep { kCommand, kToggleMainWindow, kPlayPause, kRating, kNone };

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
extern const HotkeyAction kHotkeyActions[kHotkeyCount];

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

// The combination of one action and the global atom it is registered under;
// the atom's name is the action's atomName.
struct keystype {
  uint32_t id = 0;  // 0 while no atom is held
  PackedHotkey packed = 0;
};

// What the system holds for one action.
struct HotkeyRegistration {
  // We added the atom ourselves. An atom that registration only found
  // belongs to whoever added it, so it is never deleted for us.
  bool atomAdded = false;
  // Refused: the combination is kept until its key is free.
  bool waiting = false;
};

// Everything known of one action. Code names an action by its row; position
// is the row's place in kHotkeyActions, the dialog's list and the file.
struct HotkeyRow {
  const HotkeyAction& action;
  int position;
  keystype entry;
  HotkeyRegistration registration;
};
using HotkeyTable = std::array<HotkeyRow, kHotkeyCount>;

// One row per action, nothing assigned or held.
HotkeyTable MakeHotkeyTable();

}  // namespace klv
