// The settings file's place. A standard user cannot write the Plugins folder
// of a player installed under Program Files, so a host that keeps a folder for
// each user's settings is asked first. Every path stays UTF-16 from where it
// comes to the file functions: a folder name outside the system's code page
// must not turn into question marks.
#include "plugin/settings/settings_location.h"

#include <windows.h>

#include <vector>

#include "core/host_codes.h"
#include "plugin/host/host.h"
#include "win32/text_encoding.h"
#include "win32/this_module.h"
#include "win32/win_handles.h"

namespace {

constexpr wchar_t kHostKey[] = L"Software\\Winamp";
constexpr wchar_t kPluginsFolder[] = L"\\Plugins";
constexpr wchar_t kFileName[] = L"\\gen_klv.ini";
// The registry route keeps its short texts: 255 UTF-16 units.
constexpr size_t kMaxShortText = 255;
// The longest path the wide file functions take.
constexpr size_t kMaxPathUnits = 32767;
// The profile functions refuse a path of MAX_PATH units or more (error 123),
// with or without the \\?\ prefix: such a file can be neither read nor written.
constexpr size_t kMaxProfilePathUnits = MAX_PATH - 1;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// An empty file reads as all defaults; made now, a folder that refuses new
// files is found at start instead of at "Exit".
bool CreateEmptyFile(const std::wstring& path) {
  const HANDLE made =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  const UniqueKernelHandle file(made == INVALID_HANDLE_VALUE ? nullptr : made);
  return static_cast<bool>(file);
}

// The host's per-user folder without a trailing backslash; empty from a host
// that does not know the request.
std::wstring HostSettingsFolder() {
  const intptr_t answer = HostRequest(klv::kHostSettingsFolder);
  if (!klv::IsHostAddress(answer)) return {};
  std::wstring folder = ReadBoundedWide(reinterpret_cast<const wchar_t*>(answer), kMaxPathUnits);
  if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}

// The folder named by the host key's default value, whatever its type, up to
// its first NUL, + \Plugins\gen_klv.ini. Empty without key, value or text.
std::wstring RegisteredSettingsFile() {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kHostKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
  const UniqueRegKey key(raw);
  DWORD size = 0;
  RegQueryValueExW(key.Get(), nullptr, nullptr, nullptr, nullptr, &size);
  // Spare zero units, so that a value stored without its NUL (or with an odd
  // byte count) still ends.
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
  if (RegQueryValueExW(key.Get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  const std::wstring folder = ReadBoundedWide(buffer.data(), kMaxShortText);
  // An empty value names no folder: the file would land in the root of the current drive.
  if (folder.empty()) return {};
  const std::wstring path = folder + kPluginsFolder + kFileName;
  return ReadBoundedWide(path.c_str(), kMaxShortText);
}

// gen_klv.ini in the folder this DLL was loaded from, for a copy of the player
// that has no registry entry.
std::wstring ModuleSettingsFile() {
  std::vector<wchar_t> name(MAX_PATH);
  DWORD length = 0;
  while ((length = GetModuleFileNameW(ThisModule(), name.data(), static_cast<DWORD>(name.size()))) >=
         name.size()) {
    if (name.size() >= kMaxPathUnits) return {};
    name.resize(name.size() * 2);
  }
  if (length == 0) return {};
  const std::wstring path(name.data(), length);
  const size_t slash = path.find_last_of(L"\\/");
  return (slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash)) + kFileName;
}

// The file in the host's per-user folder, its folders made; empty when the
// folders or the file cannot be made there, or its path is too long for the
// profile functions. A user's first start there takes over the settings of
// the registry route's file, which stays as it was.
std::wstring PerUserSettingsFile(const std::wstring& folder) {
  const std::wstring plugins = folder + kPluginsFolder;
  const std::wstring path = plugins + kFileName;
  if (path.size() > kMaxProfilePathUnits) return {};
  // Every start but a user's first finds the file, and its folders with it.
  if (Exists(path)) return path;
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW(plugins.c_str(), nullptr);
  const std::wstring old = RegisteredSettingsFile();
  if (!old.empty() && CopyFileW(old.c_str(), path.c_str(), TRUE)) {
    // The copy keeps a read-only attribute, which would refuse every later write.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return path;
  }
  return CreateEmptyFile(path) ? path : std::wstring();
}

}  // namespace

// A per-user folder that cannot hold the file counts as no answer: the
// settings of the next route are kept rather than lost at every start. The
// registry route's path is cut short of the profile functions' limit; the
// module's own folder, the last place, is used whatever its length.
std::wstring LocateSettingsFile() {
  const std::wstring folder = HostSettingsFolder();
  if (!folder.empty()) {
    std::wstring perUser = PerUserSettingsFile(folder);
    if (!perUser.empty()) return perUser;
  }
  const std::wstring registered = RegisteredSettingsFile();
  if (!registered.empty()) return registered;
  return ModuleSettingsFile();
}
