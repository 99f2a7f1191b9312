// What the player keeps between runs: the registry value that tells
// plug-ins where it lives, and its own player.ini.
#pragma once

#include <string>

#include "player/playback.h"

namespace player {

std::string ExeDirectory();
bool WriteInstallDirectory(const std::string& directory);
// %APPDATA%\Winamp, made when missing, where the player keeps each user's
// settings; empty when the user has no application data folder.
std::wstring PerUserSettingsFolder();
void LoadPlayerState(const std::string& directory, Playback& playback);
void SavePlayerState(const std::string& directory, const Playback& playback);

}  // namespace player
