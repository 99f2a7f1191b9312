#include "player/player_profile.h"

#include <windows.h>

namespace player {
namespace {

constexpr char kSection[] = "Player";

std::string IniPath(const std::string& directory) { return directory + "\\player.ini"; }

void WriteInt(const std::string& path, const char* key, int value) {
  WritePrivateProfileStringA(kSection, key, std::to_string(value).c_str(), path.c_str());
}

}  // namespace

std::string ExeDirectory() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string directory(path, length);
  size_t slash = directory.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : directory.substr(0, slash);
}

bool WriteInstallDirectory(const std::string& directory) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Winamp", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LONG result = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(directory.c_str()),
                               static_cast<DWORD>(directory.size() + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::wstring PerUserSettingsFolder() {
  wchar_t appData[MAX_PATH] = L"";
  const DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring folder = std::wstring(appData) + L"\\Winamp";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// Load and save in one order: entry, repeat, shuffle, volume.
void LoadPlayerState(const std::string& directory, Playback& playback) {
  std::string path = IniPath(directory);
  playback.Select(static_cast<int>(GetPrivateProfileIntA(kSection, "Entry", 0, path.c_str())));
  playback.SetRepeat(GetPrivateProfileIntA(kSection, "Repeat", 0, path.c_str()) != 0);
  playback.SetShuffle(GetPrivateProfileIntA(kSection, "Shuffle", 0, path.c_str()) != 0);
  playback.SetVolume(
      static_cast<int>(GetPrivateProfileIntA(kSection, "Volume", playback.Volume(), path.c_str())));
}

void SavePlayerState(const std::string& directory, const Playback& playback) {
  std::string path = IniPath(directory);
  WriteInt(path, "Entry", playback.Index());
  WriteInt(path, "Repeat", playback.Repeat() ? 1 : 0);
  WriteInt(path, "Shuffle", playback.Shuffle() ? 1 : 0);
  WriteInt(path, "Volume", playback.Volume());
}

}  // namespace player
