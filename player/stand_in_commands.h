// The stand-in's own commands (WM_COMMAND, id in wParam) beside the host's
// published codes of core/host_codes.h: open the plug-ins' configuration,
// quit the player, end the process at once without quit or unload, as a
// crash in another plug-in would, switch to the modern or the classic skin,
// and go to the tray and back.
#pragma once

#include <cstdint>

#include "core/host_codes.h"

namespace player {

constexpr uint32_t kCommandPluginConfig = 41000;
constexpr uint32_t kCommandQuit = 41001;
constexpr uint32_t kCommandExitWithoutQuit = 41002;
constexpr uint32_t kCommandModernSkin = 41003;
constexpr uint32_t kCommandClassicSkin = 41004;
// The tray: the main window hidden as the player's "minimise to tray" hides
// it, and shown again as a click on the tray icon shows it.
constexpr uint32_t kCommandMinimiseToTray = 41005;
constexpr uint32_t kCommandRestoreFromTray = 41006;
// The main window's volume slider (a control id, not a command).
constexpr int kVolumeSliderId = 41100;

}  // namespace player
