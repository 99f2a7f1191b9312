// The hotkey table's registration with the system. Each entry's id is a global
// atom of its name; the combination is registered on the host main window.
#include "plugin/hotkey_registration.h"

#include <windows.h>

#include <array>

#include "core/settings_schema.h"
#include "plugin/plugin_state.h"

namespace {

// Whether we added the entry's atom ourselves. An atom that registration only
// found belongs to whoever added it, so it is never deleted here.
std::array<bool, klv::kHotkeyCount> gAtomAdded{};

bool& AtomAdded(const klv::keystype& entry) { return gAtomAdded[&entry - gHotkeyTable.data()]; }

void UnregisterEntry(const klv::keystype& entry) {
  if (entry.id != 0) UnregisterHotKey(HostMainWindow(), static_cast<int>(entry.id));
}

// Keeps each deletion matched to a holding: the id goes to 0 with the atom.
void DeleteEntryAtom(klv::keystype& entry) {
  if (entry.id == 0) return;
  if (AtomAdded(entry)) GlobalDeleteAtom(static_cast<ATOM>(entry.id));
  AtomAdded(entry) = false;
  entry.id = 0;
}

}  // namespace

void FillEntryNames() {
  for (int n = 1; n <= klv::kHotkeyCount; ++n) HotkeyEntry(n).name = klv::kHotkeyActions[n - 1].atomName;
}

bool RegisterEntryHotkey(klv::keystype& entry) {
  // A new combination replaces the entry's old one rather than joining it, and
  // a refused one leaves the entry holding no registration at all.
  UnregisterEntry(entry);
  ATOM found = GlobalFindAtomA(entry.name.c_str());
  if (found != 0) {
    // Still ours when we added it earlier and have not deleted it since.
    if (found != entry.id) AtomAdded(entry) = false;
    entry.id = found;
  } else {
    entry.id = GlobalAddAtomA(entry.name.c_str());
    AtomAdded(entry) = entry.id != 0;
    // No id to register under (the atom table is full): id 0 would be a
    // registration nothing answers or releases. The combination stays, so a
    // later start tries again.
    if (entry.id == 0) return false;
  }
  if (RegisterHotKey(HostMainWindow(), static_cast<int>(entry.id), klv::HotkeyModifiers(entry.packed),
                     klv::HotkeyKeyCode(entry.packed))) {
    return true;
  }
  MessageBoxA(nullptr, "Unable to set a hot key.", "Error", MB_OK | MB_ICONEXCLAMATION);
  entry.packed = 0;
  return false;
}

void ClearEntry(int n) {
  klv::keystype& entry = HotkeyEntry(n);
  UnregisterEntry(entry);
  DeleteEntryAtom(entry);
  entry.packed = 0;
}

void UnregisterAllHotkeys() {
  for (const klv::keystype& entry : gHotkeyTable) UnregisterEntry(entry);
}

void DeleteAllAtoms() {
  for (klv::keystype& entry : gHotkeyTable) DeleteEntryAtom(entry);
}

void ReregisterAllHotkeys(bool enabled) {
  // A refusal's box has no owner, so the configuration dialog can switch
  // hotkeys again while it is up: this later run then decides, and the
  // earlier one stops where it is.
  const unsigned releases = ++gHotkeyReleases;
  gSettings.hotkeysEnabled = enabled;
  UnregisterAllHotkeys();
  DeleteAllAtoms();
  if (!enabled) return;
  for (klv::keystype& entry : gHotkeyTable) {
    // A quit while a refusal's box was up has released everything: nothing more is taken.
    if (releases != gHotkeyReleases) return;
    if (entry.packed != 0) RegisterEntryHotkey(entry);
  }
}

bool LoadSettingsAndRegisterHotkeys(const klv::IniReader& ini) {
  const unsigned releases = gHotkeyReleases;
  return klv::ReadSettings(ini, gSettings, gLastPlaybackPosition, [releases](int row, int32_t packed) {
    klv::keystype& entry = gHotkeyTable[row];
    entry.packed = packed;
    // Registered as read, so a refusal's box comes before the next entry is read.
    if (gSettings.hotkeysEnabled && entry.packed != 0) RegisterEntryHotkey(entry);
    // A quit while the box was up has released everything, the settings
    // file read here too.
    return releases == gHotkeyReleases;
  });
}

void AdoptLeftoverAtoms() {
  for (klv::keystype& entry : gHotkeyTable) {
    const ATOM found = GlobalFindAtomA(entry.name.c_str());
    if (found == 0) continue;
    entry.id = found;
    AtomAdded(entry) = true;
  }
}
