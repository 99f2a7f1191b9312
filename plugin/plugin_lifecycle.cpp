// Init, config and quit: the three entries the host calls through the descriptor.
#include <windows.h>

#include "plugin/hotkey_registration.h"
#include "plugin/osd_window.h"
#include "plugin/playback_resume.h"
#include "plugin/plugin_state.h"
#include "plugin/settings_file.h"
#include "plugin/transparency.h"
#include "plugin/window_hooks.h"
#include "ui/config_dialog.h"

namespace {

// Marks a running instance for every process of the session.
constexpr char kInstanceAtomName[] = "Kelvo_plugin_running";

int StartPlugin() {
  if (GlobalFindAtomA(kInstanceAtomName) != 0) return -1;
  gInstanceAtom = GlobalAddAtomA(kInstanceAtomName);
  FillEntryNames();
  if (!OpenSettingsFile()) {
    // Leave nothing behind, so that a later start (with the key in place) is not refused.
    GlobalDeleteAtom(gInstanceAtom);
    gInstanceAtom = 0;
    return -1;
  }
  const SettingsFile& ini = *gSettingsFile;
  LoadAndRegisterHotkeys(ini);
  klv::ReadTransparencySettings(ini, gSettings);
  ApplyTransparency();
  klv::ReadOsdSettings(ini, gSettings);
  CreateOsdWindow();
  gLastPlaybackPosition = 0;
  klv::ReadTrackSettings(ini, gSettings, gLastPlaybackPosition);
  gPluginRunning = true;
  InstallWindowHooks();
  PlayOnStart();
  return 0;
}

void StopPlugin() {
  // The host may call quit after a refused init, or twice: only a running plug-in stops.
  if (!gPluginRunning) return;
  gPluginRunning = false;
  ReleaseHotkeysAndMarker();
  klv::WritePlaybackPosition(*gSettingsFile, gLastPlaybackPosition);
  gSettingsFile.reset();
  // The library may be unloaded next: nothing of it may stay in the host's windows.
  ReleaseWindows();
}

}  // namespace

void ReleaseHotkeysAndMarker() {
  UnregisterAllHotkeys();
  DeleteAllAtoms();
  if (gInstanceAtom != 0) GlobalDeleteAtom(gInstanceAtom);
  gInstanceAtom = 0;
}

void ReleaseWindows() {
  RemoveWindowHooks();
  DestroyOsdWindow();
  CloseConfigDialog();
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
  try {
    ReleaseHotkeysAndMarker();
    ReleaseWindows();
  } catch (...) {
  }
  gSettingsFile.reset();
  return -1;
}

void __cdecl PluginConfig() {
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
