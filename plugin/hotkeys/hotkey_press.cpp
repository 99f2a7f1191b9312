// What a pressed hotkey does: the action's host step, then its OSD text.
#include "plugin/hotkeys/hotkey_press.h"

#include "core/osd/osd_text.h"
#include "plugin/cover/track_cover.h"
#include "plugin/host/host.h"
#include "plugin/hotkeys/held_key.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/hotkeys/step_actions.h"
#include "plugin/osd/osd_window.h"
#include "plugin/osd/player_change_osd.h"
#include "plugin/osd/track_change_osd.h"
#include "plugin/plugin_state.h"

namespace {

// The last owner of the window's top-level window. GetAncestor's GA_ROOTOWNER
// stops short at an owned window without WS_POPUP (its GetParent is null).
HWND RootOwner(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  for (HWND owner = root; owner != nullptr; owner = GetWindow(owner, GW_OWNER)) root = owner;
  return root;
}

// The player is in front when the foreground window is its main window or
// one the main window owns, however deep (the playlist, the equalizer, a
// skin's own windows and what they hold), or any other window of the
// player's process, as its own hotkeys count it: a skin's unowned tool
// window. Minimising the main window takes its owned windows along; bringing
// it forward brings them too.
bool HostInFront(HWND main) {
  const HWND front = GetForegroundWindow();
  if (front == nullptr) return false;
  if (RootOwner(front) == main) return true;
  DWORD frontProcess = 0;
  DWORD hostProcess = 0;
  GetWindowThreadProcessId(front, &frontProcess);
  GetWindowThreadProcessId(main, &hostProcess);
  return frontProcess != 0 && frontProcess == hostProcess;
}

void ToggleMainWindow() {
  HWND main = HostMainWindow();
  if (main != nullptr && HostInFront(main)) {
    ShowWindow(main, SW_MINIMIZE);
  } else {
    ShowWindow(main, SW_RESTORE);
    SetForegroundWindow(main);
  }
}

// The first row in table order that holds a combination under this id; a
// cleared row keeps its old id and must not answer for it.
klv::HotkeyRow* FindActionRow(WPARAM id) {
  for (klv::HotkeyRow& row : gHotkeyTable) {
    if (RowCombination(row) != 0 && row.registration.atom != 0 && row.registration.atom == id) return &row;
  }
  return nullptr;
}

// What the action changed is its own: the player's notices of it show nothing more.
void NoteOwnChanges(const klv::HotkeyAction& action) {
  switch (action.command) {
    case klv::kCommandPlay:
    case klv::kCommandPause:
    case klv::kCommandStop:
      NoteOwnPlayState();
      break;
    case klv::kCommandVolumeUp:
    case klv::kCommandVolumeDown:
      NoteOwnVolume();
      break;
  }
  if (action.step == klv::HostStep::kPlayPause) NoteOwnPlayState();
  if (action.step == klv::HostStep::kMute) NoteOwnVolume();
}

}  // namespace

void OnHotkeyMessage(WPARAM id, DWORD sentAt) {
  const klv::HotkeyRow* row = FindActionRow(id);
  if (row == nullptr) return;
  // Decided before the action: a host dialog it opens may pump the repeats.
  if (!klv::RepeatsWhileHeld(row->action) && IsHeldRepeat(*row, sentAt)) return;
  RunHotkeyAction(id);
}

void RunHotkeyAction(WPARAM id) {
  klv::HotkeyRow* row = FindActionRow(id);
  if (row == nullptr) return;
  const klv::HotkeyAction& action = row->action;
  const OwnTrackStart own;
  int osdRow = row->position;
  int32_t ratingSet = -1;
  int32_t levelBack = -1;  // Mute's way back names the level
  switch (action.step) {
    case klv::HostStep::kCommand:
      if (!TakeUserStep(action.command)) HostCommand(action.command);
      break;
    case klv::HostStep::kToggleMainWindow:
      ToggleMainWindow();
      break;
    case klv::HostStep::kPlayPause: {
      // Asked with the OSD off too: the answer chooses the command.
      const auto state = static_cast<int32_t>(HostRequest(klv::kHostPlayingState));
      const klv::PlayPauseChoice choice = klv::ChoosePlayPause(state);
      HostCommand(choice.command);
      osdRow = choice.osdRow;
      break;
    }
    case klv::HostStep::kRating: {
      const int32_t rating =
          klv::SteppedRating(static_cast<int32_t>(HostRequest(klv::kHostRating)), action.ratingStep);
      if (rating >= 0) HostRequest(klv::kHostSetRating, rating);
      ratingSet = rating;
      break;
    }
    case klv::HostStep::kMute:
      levelBack = ToggleHostMute();
      break;
    case klv::HostStep::kNone:
      break;
  }
  NoteOwnChanges(action);
  // The text is composed after the command so that it shows its effect.
  if (!gSettings.osdEnabled) return;
  const std::string text =
      levelBack >= 0 ? klv::VolumeOsdText(levelBack)
                     : klv::ActionOsdText(osdRow, OsdTextHost(), gSettings.osdShowVolume, ratingSet);
  if (klv::kHotkeyActions[osdRow].osdKind == klv::OsdTextKind::kTitleAndTime) {
    ShowTrackOsd(text);
  } else {
    ShowOsd(text);
  }
}
