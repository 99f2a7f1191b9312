// What the player keeps between runs: the registry value that tells
// plug-ins where it lives, and its own player.ini.
#pragma once

#include <string>

#include "player/playback.h"

namespace player {

std::string ExeDirectory();
bool WriteInstallDirectory(const std::string& directory);
void LoadPlayerState(const std::string& directory, Playback& playback);
void SavePlayerState(const std::string& directory, const Playback& playback);

}  // namespace player
