// gen_klv.ini through the platform's wide profile functions; the texts the
// settings code reads and writes are UTF-8.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/ini_access.h"

class SettingsFile : public klv::IniReader, public klv::IniWriter {
 public:
  explicit SettingsFile(std::wstring path) : path_(std::move(path)) {}
  explicit SettingsFile(std::string_view utf8Path);
  const std::wstring& WidePath() const { return path_; }
  std::string Path() const;  // UTF-8
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const override;
  bool WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  bool DeleteKey(std::string_view section, std::string_view key) override;
  // The profile functions keep a file without a byte-order mark, as they
  // make every new one, in the system's code page.
  std::string StoredForm(std::string_view text) const override;

 private:
  // value null deletes the key.
  bool Write(std::string_view section, std::string_view key, const wchar_t* value);

  std::wstring path_;
};

// The file's sections as they stand, each listed once on first use
// (GetPrivateProfileSectionW) and looked up as GetPrivateProfileStringW finds
// a key: the first section and the first entry of the name, without regard
// to case; an entry without '=' has no value; blanks around the key and the
// value and one pair of matching quotes around the value go. Init reads some
// forty keys: under Wine every single read opens and checks the file again.
class SettingsSnapshot : public klv::IniReader {
 public:
  explicit SettingsSnapshot(const SettingsFile& file) : file_(file) {}

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const override;
  std::string StoredForm(std::string_view text) const override { return file_.StoredForm(text); }

 private:
  struct ListedSection {
    std::wstring name;
    // "key=value" texts, each ended by a NUL, then one more NUL; empty when the
    // section was too large to list, and is read key by key.
    std::vector<wchar_t> entries;
  };
  const ListedSection& Listed(const std::wstring& section) const;

  const SettingsFile& file_;
  mutable std::vector<ListedSection> sections_;
};

// The open settings file, from the plug-in's start to its stop; null otherwise.
SettingsFile* CurrentSettingsFile();
// Locates the file (plugin/settings/settings_location.h) and opens it as the current
// one. False only when no place at all is known.
bool OpenSettingsFile();
// Makes the given file the current one (null: none).
void UseSettingsFile(std::unique_ptr<SettingsFile> file);
// The settings' reads and writes, side by side in the file's order.
// Init's reads (of a snapshot of the current file) into gSettings; nothing is
// registered or applied here.
void LoadSettings(const klv::IniReader& ini);
// "Exit": every setting but Position. False when a write was refused; the
// message for the user is then SettingsWriteErrorText().
bool SaveSettings();
// Quit: Position alone.
void SavePlaybackPosition();
// Quit: the level Mute remembers, where it changed since the start or the last "Exit", so
// that a player closed while muted can be given its level back after the next start.
void SaveMutedVolume();
// "Unable to write to " + the full path, in UTF-8, the path taken literally.
std::string SettingsWriteErrorText();
