// Init, config and quit: the three entries the host calls through the descriptor.
#include <windows.h>

#include "core/settings_schema.h"
#include "plugin/hotkey_registration.h"
#include "plugin/instance_marker.h"
#include "plugin/module_hold.h"
#include "plugin/osd_window.h"
#include "plugin/playback_resume.h"
#include "plugin/plugin_state.h"
#include "plugin/settings_file.h"
#include "plugin/transparency.h"
#include "plugin/window_hooks.h"
#include "ui/config_dialog.h"

namespace {

// Set when quit ran inside one of init's message boxes: the host may have
// freed the library since, so the start keeps its hold on the module.
bool gQuitDuringStart = false;

// What a start took, given back when it cannot go on.
void AbandonStart() {
  gPluginStarting = false;
  try {
    ReleaseHotkeysAndMarker();
    ReleaseWindows();
  } catch (...) {
  }
  gSettingsFile.reset();
  if (!gQuitDuringStart) ReleaseModuleHold();
}

int StartPlugin() {
  // This library runs already: a second init of the same load.
  if (PluginActive()) return -1;
  const MarkerTaken marker = TakeInstanceMarker();
  if (marker == MarkerTaken::kRefused) return -1;
  // From here on a box of ours may let the host call back, even unload us.
  HoldModule();
  gPluginStarting = true;
  gQuitDuringStart = false;
  FillEntryNames();
  if (marker == MarkerTaken::kTakenOver) AdoptLeftoverAtoms();
  if (!OpenSettingsFile()) {
    AbandonStart();
    return -1;
  }
  const SettingsFile& ini = *gSettingsFile;
  LoadAndRegisterHotkeys(ini);
  if (gQuitDuringStart) {
    AbandonStart();
    return -1;
  }
  klv::ReadTransparencySettings(ini, gSettings);
  ApplyTransparency();
  klv::ReadOsdSettings(ini, gSettings);
  PrepareOsd();
  gLastPlaybackPosition = 0;
  klv::ReadTrackSettings(ini, gSettings, gLastPlaybackPosition);
  gPluginStarting = false;
  gPluginRunning = true;
  InstallWindowHooks();
  PlayOnStart();
  return 0;
}

void StopPlugin() {
  if (gPluginStarting || gPluginRunning) ++gQuitCount;
  if (gPluginStarting) {
    // Inside a refusal box of init: what is registered goes now; init sees
    // the flag when the box returns and stops there. The position is not
    // written: it has not been read yet.
    gPluginStarting = false;
    gQuitDuringStart = true;
    ReleaseHotkeysAndMarker();
    return;
  }
  // The host may call quit after a refused init, or twice: only a running plug-in stops.
  if (!gPluginRunning) return;
  gPluginRunning = false;
  ReleaseHotkeysAndMarker();
  klv::WritePlaybackPosition(*gSettingsFile, gLastPlaybackPosition);
  gSettingsFile.reset();
  // The library may be unloaded next: nothing of it may stay in the host's
  // windows. Where a hook had to stay, so does the module.
  if (ReleaseWindows()) ReleaseModuleHold();
}

}  // namespace

void ReleaseHotkeysAndMarker() {
  UnregisterAllHotkeys();
  DeleteAllAtoms();
  ReleaseInstanceMarker();
}

bool ReleaseWindows() {
  const bool unhooked = RemoveWindowHooks();
  ReleaseOsd();
  CloseConfigDialog();
  return unhooked;
}

// No exception may cross into the host: the entries are plain C calls.
int __cdecl PluginInit() {
  try {
    return StartPlugin();
  } catch (...) {
  }
  // Hooked in already: only play on start failed, and quit tidies up as usual.
  if (gPluginRunning) return 0;
  // A half start must not leave its marker behind, or every later start is refused.
  if (gPluginStarting || gQuitDuringStart) AbandonStart();
  return -1;
}

void __cdecl PluginConfig() {
  const CallInProgress call;
  try {
    // A refused start has no settings file to write to and nothing to configure.
    if (!gPluginRunning) return;
    OpenConfigDialog();
  } catch (...) {
  }
}

void __cdecl PluginQuit() {
  try {
    StopPlugin();
  } catch (...) {
  }
}
