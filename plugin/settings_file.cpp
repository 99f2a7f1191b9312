// gen_klv.ini: located through the host's registry key, read and written with
// the platform's profile functions.
#include "plugin/settings_file.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "core/settings_schema.h"
#include "plugin/plugin_state.h"
#include "plugin/win_handles.h"

std::unique_ptr<SettingsFile> gSettingsFile;

namespace {

constexpr char kHostKey[] = "Software\\Winamp";
constexpr char kIniSuffix[] = "\\Plugins\\gen_klv.ini";
constexpr size_t kMaxShortText = 255;
constexpr DWORD kProfileBufferSize = klv::kMaxIniText + 1;

std::string CutShort(std::string text) {
  if (text.size() > kMaxShortText) text.resize(kMaxShortText);
  return text;
}

// The key's default value as text: whole, whatever its type, up to its first NUL.
bool ReadHostDirectory(HKEY key, std::string& directory) {
  DWORD size = 0;
  RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size);
  // One spare zero byte so that a value stored without its NUL still ends.
  std::vector<char> buffer(size + 1, '\0');
  if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  directory = CutShort(std::string(buffer.data()));
  return true;
}

}  // namespace

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view fallback) const {
  std::vector<char> buffer(kProfileBufferSize, '\0');
  const std::string sectionText(section), keyText(key), fallbackText(fallback);
  const DWORD length = GetPrivateProfileStringA(sectionText.c_str(), keyText.c_str(), fallbackText.c_str(),
                                                buffer.data(), kProfileBufferSize, path_.c_str());
  return std::string(buffer.data(), std::min<DWORD>(length, klv::kMaxIniText));
}

bool SettingsFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // Wine run by root opens a read-only file for writing and the profile write
  // succeeds; Windows refuses it. Refuse it here alike.
  const DWORD attributes = GetFileAttributesA(path_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const std::string sectionText(section), keyText(key), valueText(value);
  return WritePrivateProfileStringA(sectionText.c_str(), keyText.c_str(), valueText.c_str(), path_.c_str()) !=
         FALSE;
}

bool OpenSettingsFile() {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kHostKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return false;
  UniqueRegKey key(raw);
  std::string directory;
  if (!ReadHostDirectory(key.Get(), directory)) return false;
  // No file is created or checked here: a missing file reads as all defaults.
  gSettingsFile = std::make_unique<SettingsFile>(CutShort(directory + kIniSuffix));
  return true;
}

bool SaveSettings() {
  if (!gSettingsFile) return false;
  std::array<int32_t, klv::kHotkeyCount> packed{};
  for (int n = 1; n <= klv::kHotkeyCount; ++n) packed[n - 1] = HotkeyEntry(n).packed;
  return klv::WriteAllSettings(*gSettingsFile, gSettings, packed);
}

std::string SettingsWriteErrorText() {
  const std::string path = gSettingsFile ? gSettingsFile->Path() : std::string();
  return std::string("Unable to write to ") + path;
}
