// gen_klv.ini, read and written with the platform's wide profile functions,
// so that neither a path nor a value passes through the 8-bit code page.
#include "plugin/settings/settings_file.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <vector>

#include "core/settings/settings_schema.h"
#include "plugin/plugin_state.h"
#include "plugin/settings/settings_location.h"
#include "win32/text_encoding.h"

namespace {

std::unique_ptr<SettingsFile> gSettingsFile;

constexpr DWORD kProfileBufferSize = klv::kMaxIniText + 1;

// A section is listed into 4 K units at first, more as it needs, up to 1 M:
// a larger one (hand-made, or hostile) is read key by key instead.
constexpr DWORD kFirstListSize = 4096;
constexpr DWORD kMaxListSize = 1u << 20;

// The profile functions compare names by the ordinal upper case of each unit.
bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

// Blanks as the profile functions see them, the end-of-file mark included.
std::wstring_view TrimBlanks(std::wstring_view text) {
  const auto blank = [](wchar_t c) { return iswspace(c) || c == 0x1A; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::wstring_view WithoutQuotes(std::wstring_view value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

SettingsFile::SettingsFile(std::string_view utf8Path) : path_(Utf8ToWide(utf8Path)) {}

std::string SettingsFile::Path() const { return WideToUtf8(path_); }

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view fallback) const {
  std::vector<wchar_t> buffer(kProfileBufferSize, L'\0');
  GetPrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(), Utf8ToWide(fallback).c_str(),
                           buffer.data(), kProfileBufferSize, path_.c_str());
  // A text cut at the buffer's end keeps no half of a surrogate pair.
  return WideToUtf8(ReadBoundedWide(buffer.data(), klv::kMaxIniText));
}

bool SettingsFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  return Write(section, key, Utf8ToWide(value).c_str());
}

bool SettingsFile::DeleteKey(std::string_view section, std::string_view key) {
  return Write(section, key, nullptr);
}

std::string SettingsFile::StoredForm(std::string_view text) const { return Utf8ThroughCodePage(text); }

bool SettingsFile::Write(std::string_view section, std::string_view key, const wchar_t* value) {
  // Wine run by root opens a read-only file for writing and the profile write
  // succeeds; Windows refuses it. Refuse it here alike.
  const DWORD attributes = GetFileAttributesW(path_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return WritePrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(), value,
                                    path_.c_str()) != FALSE;
}

std::string SettingsSnapshot::ReadString(std::string_view section, std::string_view key,
                                         std::string_view fallback) const {
  const ListedSection& listed = Listed(Utf8ToWide(section));
  if (listed.entries.empty()) return file_.ReadString(section, key, fallback);
  const std::wstring wantedKey = Utf8ToWide(key);
  for (const wchar_t* entry = listed.entries.data(); *entry != L'\0'; entry += wcslen(entry) + 1) {
    const std::wstring_view text(entry);
    const size_t equals = text.find(L'=');
    if (!SameName(TrimBlanks(text.substr(0, equals)), wantedKey)) continue;
    // The first entry of the name decides, also when it has no value.
    if (equals == std::wstring_view::npos) break;
    const std::wstring value(WithoutQuotes(TrimBlanks(text.substr(equals + 1))));
    return WideToUtf8(ReadBoundedWide(value.c_str(), klv::kMaxIniText));
  }
  return std::string(fallback);
}

const SettingsSnapshot::ListedSection& SettingsSnapshot::Listed(const std::wstring& section) const {
  for (const ListedSection& listed : sections_) {
    if (SameName(listed.name, section)) return listed;
  }
  ListedSection& listed = sections_.emplace_back();
  listed.name = section;
  for (DWORD size = kFirstListSize; size <= kMaxListSize; size *= 4) {
    std::vector<wchar_t> entries(size, L'\0');
    // A list cut at the buffer's end comes back as size - 2 units.
    const DWORD length =
        GetPrivateProfileSectionW(section.c_str(), entries.data(), size, file_.WidePath().c_str());
    if (length + 2 < size) {
      entries.resize(length + 2);
      listed.entries = std::move(entries);
      break;
    }
  }
  return listed;
}

bool OpenSettingsFile() {
  std::wstring path = LocateSettingsFile();
  if (path.empty()) return false;
  // No file is created or checked here: a missing file reads as all defaults.
  gSettingsFile = std::make_unique<SettingsFile>(std::move(path));
  return true;
}

SettingsFile* CurrentSettingsFile() { return gSettingsFile.get(); }

void UseSettingsFile(std::unique_ptr<SettingsFile> file) { gSettingsFile = std::move(file); }

namespace {
// MutedVolume as the file holds it: quit writes the level only when Mute changed it.
int32_t gStoredMutedVolume = 0;
}  // namespace

void LoadSettings(const klv::IniReader& ini) {
  gSettings = klv::ReadSettings(ini);
  gStoredMutedVolume = gSettings.mutedVolume;
}

bool SaveSettings() {
  if (!gSettingsFile) return false;
  if (!klv::WriteAllSettings(*gSettingsFile, gSettings)) return false;
  gStoredMutedVolume = gSettings.mutedVolume;
  return true;
}

void SavePlaybackPosition() {
  if (gSettingsFile) klv::WritePlaybackPosition(*gSettingsFile, gSettings.playbackPosition);
}

void SaveMutedVolume() {
  if (!gSettingsFile || gSettings.mutedVolume == gStoredMutedVolume) return;
  if (klv::WriteMutedVolume(*gSettingsFile, gSettings)) gStoredMutedVolume = gSettings.mutedVolume;
}

std::string SettingsWriteErrorText() {
  const std::string path = gSettingsFile ? gSettingsFile->Path() : std::string();
  return std::string("Unable to write to ") + path;
}
