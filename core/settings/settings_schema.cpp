// Init's reads, the write of "Exit" and a fresh record's defaults, each one
// walk over the rows of gen_klv.ini.
#include "core/settings/settings_schema.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/ini_escape.h"

namespace klv {
namespace {

// 8-bit fields keep the low byte of whatever the file holds.
uint8_t LowByte(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu); }

// A number read for the row, or its default, into the row's field.
void StoreNumber(const SettingsKey& row, Settings& settings, int32_t value) {
  if (row.field.of == nullptr) return;
  const FieldRef field = row.field.of(settings);
  switch (row.kind) {
    case kFlag:
      *std::get<bool*>(field) = value != 0;
      return;
    case kInteger:
    case kPosition:
      *std::get<int32_t*>(field) = value;
      return;
    case kColour:
      *std::get<uint32_t*>(field) = static_cast<uint32_t>(value);
      return;
    case kLowByte:
      *std::get<uint8_t*>(field) = LowByte(value);
      return;
    case kMonitor:
      *std::get<int32_t*>(field) = static_cast<int32_t>(OsdMonitorFrom(value));
      return;
    case kSeekStep:
      *std::get<int32_t*>(field) = SeekSecondsFrom(value);
      return;
    case kVolumeStep:
      *std::get<int32_t*>(field) = VolumePercentFrom(value);
      return;
    case kVolumeLevel:
      *std::get<int32_t*>(field) = MutedVolumeFrom(value);
      return;
    case kText:
    case kExactFontName:
    case kPackedHotkeys:
      return;
  }
}

void ReadKey(const IniReader& ini, const SettingsKey& row, Settings& settings) {
  switch (row.kind) {
    case kText:
      *std::get<std::string*>(row.field.of(settings)) =
          ini.ReadString(row.section, row.key, row.fallback.text);
      return;
    case kExactFontName: {
      // Only while OSDFontName still holds exactly what the file made of it:
      // a font chosen later by an older build, or by hand, wins.
      std::string& name = *std::get<std::string*>(row.field.of(settings));
      const std::optional<std::string> exact =
          UnescapeIniText(ini.ReadString(row.section, row.key, row.fallback.text));
      if (exact && !exact->empty() && ini.StoredForm(*exact) == name) name = *exact;
      return;
    }
    default:
      StoreNumber(row, settings, ini.ReadInteger(row.section, row.key, row.fallback.number));
      return;
  }
}

bool WriteKey(IniWriter& ini, const SettingsKey& row, const Settings& settings) {
  const ConstFieldRef field = row.field.in(settings);
  switch (row.kind) {
    case kFlag:
      return ini.WriteBool(row.section, row.key, *std::get<const bool*>(field));
    case kInteger:
    case kMonitor:
    case kSeekStep:
    case kVolumeStep:
    case kVolumeLevel:
      return ini.WriteInteger(row.section, row.key, *std::get<const int32_t*>(field));
    case kColour:
      return ini.WriteInteger(row.section, row.key, static_cast<int32_t>(*std::get<const uint32_t*>(field)));
    case kLowByte:
      return ini.WriteInteger(row.section, row.key, *std::get<const uint8_t*>(field));
    case kText:
      return ini.WriteString(row.section, row.key, *std::get<const std::string*>(field));
    case kExactFontName: {
      // An older build reads OSDFontName alone and writes it alone. Gone once
      // OSDFontName holds the name, so that an older exact name never comes back.
      const std::string& name = *std::get<const std::string*>(field);
      return ini.StoredForm(name) == name ? ini.DeleteKey(row.section, row.key)
                                          : ini.WriteString(row.section, row.key, EscapeIniText(name));
    }
    case kPackedHotkeys:
    case kPosition:
      break;
  }
  return true;
}

}  // namespace

Settings::Settings() {
  for (const SettingsKey& row : kSettingsKeys) {
    if (row.kind == kText) *std::get<std::string*>(row.field.of(*this)) = std::string(row.fallback.text);
    if (row.kind == kPackedHotkeys) hotkeys.fill(row.fallback.number);
    StoreNumber(row, *this, row.fallback.number);
  }
}

Settings ReadSettings(const IniReader& ini) {
  Settings settings;
  for (const SettingsKey& row : kSettingsKeys) {
    if (row.kind == kPackedHotkeys) {
      for (int i = 0; i < kHotkeyCount; ++i)
        settings.hotkeys[i] = ini.ReadInteger(row.section, kHotkeyActions[i].atomName, row.fallback.number);
    } else if (row.kind == kPosition) {
      // A stored position is ignored unless the user asked for it to be remembered.
      if (settings.rememberPosition) ReadKey(ini, row, settings);
    } else {
      ReadKey(ini, row, settings);
    }
  }
  return settings;
}

bool WriteAllSettings(IniWriter& ini, const Settings& settings) {
  for (const SettingsKey& row : kSettingsKeys) {
    if (row.kind == kPosition) continue;  // quit writes it alone
    if (row.kind == kPackedHotkeys) {
      for (int i = 0; i < kHotkeyCount; ++i) {
        if (!ini.WriteInteger(row.section, kHotkeyActions[i].atomName, settings.hotkeys[i])) return false;
      }
    } else if (!WriteKey(ini, row, settings)) {
      return false;
    }
  }
  return true;
}

bool WriteMutedVolume(IniWriter& ini, const Settings& settings) {
  const SettingsKey* row = std::find_if(std::begin(kSettingsKeys), std::end(kSettingsKeys),
                                        [](const SettingsKey& r) { return r.kind == kVolumeLevel; });
  return WriteKey(ini, *row, settings);
}

bool WritePlaybackPosition(IniWriter& ini, int32_t position) {
  const SettingsKey* row = std::find_if(std::begin(kSettingsKeys), std::end(kSettingsKeys),
                                        [](const SettingsKey& r) { return r.kind == kPosition; });
  return ini.WriteInteger(row->section, row->key, position);
}

}  // namespace klv
