// The stand-in's own commands (WM_COMMAND, id in wParam) beside the host's
// published codes of core/host_codes.h: open the plug-ins' configuration,
// quit the player, end the process at once without quit or unload, as a
// crash in another plug-in would, and switch to the modern or the classic skin.
#pragma once

#include <cstdint>

#include "core/host_codes.h"

namespace player {

constexpr uint32_t kCommandPluginConfig = 41000;
constexpr uint32_t kCommandQuit = 41001;
constexpr uint32_t kCommandExitWithoutQuit = 41002;
constexpr uint32_t kCommandModernSkin = 41003;
constexpr uint32_t kCommandClassicSkin = 41004;

}  // namespace player
