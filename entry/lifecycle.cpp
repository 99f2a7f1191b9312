// Init, config and quit: the three entries the host calls through the
// descriptor, the plug-in's phase between them, and its one teardown.
#include "entry/lifecycle.h"

#include <windows.h>

#include "entry/plugin_descriptor.h"
#include "plugin/cover/track_cover.h"
#include "plugin/host/instance_marker.h"
#include "plugin/host/transparency.h"
#include "plugin/host/window_hooks.h"
#include "plugin/hotkeys/held_key.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/osd/osd_window.h"
#include "plugin/osd/player_change_osd.h"
#include "plugin/playback_resume.h"
#include "plugin/plugin_state.h"
#include "plugin/settings/settings_file.h"
#include "ui/config_dialog.h"
#include "ui/config_form_holder.h"
#include "ui/osd_pickers.h"
#include "win32/module_hold.h"

namespace {

// kStopping lasts from a quit until everything is given back; a quit inside
// one of init's boxes leaves it for init to end once the box returns. Init
// starts only from kStopped, quit stops only a plug-in starting or running.
enum class Phase { kStopped, kStarting, kRunning, kStopping };
Phase gPhase = Phase::kStopped;

// Everything a start takes, given back in one order. Each step lets go only
// of what is held, so this serves a start given up half way, a quit (also one
// inside a box of init's) and an unload alike. False when a hook had to stay
// in a host window, or when giving the windows back failed.
bool ReleaseAll(bool storePosition) noexcept {
  try {
    UnregisterAllHotkeys();
    DeleteAllAtoms();
    ForgetHeldKeys();
    ReleaseInstanceMarker();
    if (storePosition) {
      SavePlaybackPosition();
      SaveMutedVolume();
    }
  } catch (...) {
  }
  UseSettingsFile(nullptr);
  // The windows go whatever became of the position.
  try {
    const bool unhooked = RemoveWindowHooks();
    StopCoverLookups();
    ReleaseOsd();
    CloseConfigDialog();
    ReleaseOsdPickers();
    return unhooked;
  } catch (...) {
    return false;
  }
}

// Called in kStopped. Leaves kStarting only for kRunning; any other way out
// returns -1 and leaves kStarting (or kStopping, after a quit inside a
// refusal's box) for PluginInit to end.
int StartPlugin() {
  SetHostMainWindow(gPlugin.hwndParent);
  const MarkerTaken marker = TakeInstanceMarker();
  if (marker == MarkerTaken::kRefused) return -1;
  // From here on a box of ours may let the host call back, even unload us.
  HoldModule();
  gPhase = Phase::kStarting;
  if (marker == MarkerTaken::kTakenOver) AdoptLeftoverAtoms();
  if (!OpenSettingsFile()) return -1;
  LoadSettings(SettingsSnapshot(*CurrentSettingsFile()));
  RegisterAllHotkeys();
  // A quit inside the refusals' box gave everything back, the settings file too.
  if (gPhase != Phase::kStarting) return -1;
  ApplyTransparency();
  PrepareOsd();
  StartCoverLookups();
  gPhase = Phase::kRunning;
  InstallWindowHooks();
  FollowPlayerAnew();
  PlayOnStart();
  return 0;
}

// A start that cannot go on gives back what it took. True when the module
// hold may go too: not after a quit inside one of init's boxes, since the
// host may have freed the library since.
bool GiveUpStart() {
  const bool quitMeanwhile = gPhase == Phase::kStopping;
  ReleaseAll(false);
  gPhase = Phase::kStopped;
  return !quitMeanwhile;
}

void StopPlugin() noexcept {
  // After a refused init, a second quit, or one inside this quit's teardown.
  if (gPhase != Phase::kStarting && gPhase != Phase::kRunning) return;
  const bool ran = gPhase == Phase::kRunning;
  gPhase = Phase::kStopping;
  // Inside a refusal's box of init the host has not played under us yet, so
  // no position is written; init ends the phase when the box returns.
  const bool unhooked = ReleaseAll(ran);
  if (!ran) return;
  gPhase = Phase::kStopped;
  // The library may be unloaded next: where a hook had to stay, so does the module.
  if (unhooked) ReleaseModuleHold();
}

}  // namespace

// The entries that can run a modal loop (a message box, a dialog's loop, a
// host request the host answers with one) take the CallInProgress hold: init
// and config here, the window hooks and the dialogs' window procedures where
// they are. Quit runs none and takes none: its release of the module must see
// only the calls below it. No exception may cross into the host: the entries
// are plain C calls.
int __cdecl PluginInit() {
  // Running, or a quit of this load is still under way.
  if (gPhase != Phase::kStopped) return -1;
  int result = -1;
  bool releaseHold = false;
  {
    const CallInProgress call;
    try {
      result = StartPlugin();
    } catch (...) {
      // Hooked in already: only play on start failed, and quit tidies up as usual.
      if (gPhase == Phase::kRunning) result = 0;
    }
    // A half start must not leave its marker behind, or every later start is refused.
    if (gPhase == Phase::kStarting || gPhase == Phase::kStopping) releaseHold = GiveUpStart();
  }
  // Once init's own call is off the stack: the host holds its reference until init returns.
  if (releaseHold) ReleaseModuleHold();
  return result;
}

void __cdecl PluginConfig() {
  const CallInProgress call;
  try {
    // A refused start has no settings file to write to and nothing to configure.
    if (gPhase != Phase::kRunning) return;
    OpenConfigDialog();
  } catch (...) {
  }
}

void __cdecl PluginQuit() { StopPlugin(); }

void ReleaseAtUnload() noexcept {
  // A running plug-in holds the module, so a host's FreeLibrary without quit
  // never gets here; this only tidies up should that hold have failed:
  // nothing of ours may stay reachable from a window.
  ReleaseAll(false);
  gPhase = Phase::kStopped;
}
