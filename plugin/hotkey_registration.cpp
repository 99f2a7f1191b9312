// The hotkey table's registration with the system. Each entry's id is a global
// atom of its name; the combination is registered on the host main window.
#include "plugin/hotkey_registration.h"

#include <windows.h>
#include <versionhelpers.h>

#include <array>
#include <string>
#include <vector>

#include "core/hotkey_conflict.h"
#include "core/settings_schema.h"
#include "plugin/plugin_state.h"

namespace {

// What registration knows of entry n, at [n - 1].
struct EntrySlot {
  // We added the entry's atom ourselves. An atom that registration only found
  // belongs to whoever added it, so it is never deleted here.
  bool atomAdded = false;
  // Refused: the entry keeps its combination until its key is free.
  bool waiting = false;
};
std::array<EntrySlot, klv::kHotkeyCount> gSlots{};

EntrySlot& SlotOf(int n) { return gSlots[n - 1]; }

void UnregisterEntry(int n) {
  const uint32_t id = HotkeyEntry(n).id;
  if (id != 0) UnregisterHotKey(HostMainWindow(), static_cast<int>(id));
}

// Keeps each deletion matched to a holding: the id goes to 0 with the atom.
void DeleteEntryAtom(int n) {
  klv::keystype& entry = HotkeyEntry(n);
  if (entry.id == 0) return;
  if (SlotOf(n).atomAdded) GlobalDeleteAtom(static_cast<ATOM>(entry.id));
  SlotOf(n).atomAdded = false;
  entry.id = 0;
}

// Once per press: the system drops the held key's repeats itself where it
// knows MOD_NOREPEAT (Windows 7 on); older ones are not given the flag.
UINT ModifiersFor(int n) {
  UINT modifiers = klv::HotkeyModifiers(HotkeyEntry(n).packed);
  static const bool noRepeatKnown = IsWindows7OrGreater();
  if (noRepeatKnown && !klv::RepeatsWhileHeld(n - 1)) modifiers |= MOD_NOREPEAT;
  return modifiers;
}

// Registers an assigned entry; a refused one joins the list to name.
void RegisterNotingRefusal(int n, std::vector<klv::RefusedHotkey>& refused) {
  const klv::PackedHotkey packed = HotkeyEntry(n).packed;
  if (packed != 0 && !RegisterEntryHotkey(n) && EntryWaiting(n)) refused.push_back({n - 1, packed});
}

// Every registration given back and, with hotkeys on, taken again; the
// refused ones come back in table order.
std::vector<klv::RefusedHotkey> RegisterAllAfresh() {
  UnregisterAllHotkeys();
  DeleteAllAtoms();
  std::vector<klv::RefusedHotkey> refused;
  if (!gSettings.hotkeysEnabled) return refused;
  for (int n = 1; n <= klv::kHotkeyCount; ++n) RegisterNotingRefusal(n, refused);
  return refused;
}

// Last thing its callers do: while the box is up the user or the host may
// quit, reconfigure or unload, and the text was composed before.
void ShowRefusals(const std::vector<klv::RefusedHotkey>& refused) {
  if (refused.empty()) return;
  MessageBoxA(nullptr, klv::RefusalText(refused).c_str(), "Error", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void FillEntryNames() {
  for (int n = 1; n <= klv::kHotkeyCount; ++n) HotkeyEntry(n).name = klv::kHotkeyActions[n - 1].atomName;
}

bool RegisterEntryHotkey(int n) {
  klv::keystype& entry = HotkeyEntry(n);
  EntrySlot& slot = SlotOf(n);
  // A new combination replaces the entry's old one rather than joining it.
  UnregisterEntry(n);
  slot.waiting = false;
  ATOM found = GlobalFindAtomA(entry.name.c_str());
  if (found != 0) {
    // Still ours when we added it earlier and have not deleted it since.
    if (found != entry.id) slot.atomAdded = false;
    entry.id = found;
  } else {
    entry.id = GlobalAddAtomA(entry.name.c_str());
    slot.atomAdded = entry.id != 0;
    // No id to register under (the atom table is full): id 0 would be a
    // registration nothing answers or releases. The combination stays, so a
    // later start tries again.
    if (entry.id == 0) return false;
  }
  if (RegisterHotKey(HostMainWindow(), static_cast<int>(entry.id), ModifiersFor(n),
                     klv::HotkeyKeyCode(entry.packed))) {
    return true;
  }
  slot.waiting = true;
  return false;
}

bool AssignEntryHotkey(int n, klv::PackedHotkey packed) {
  HotkeyEntry(n).packed = packed;
  if (RegisterEntryHotkey(n)) return true;
  if (!EntryWaiting(n)) return false;
  // Cleared before the box: nothing that runs while it is up finds it waiting.
  ClearEntry(n);
  MessageBoxA(nullptr, "Unable to set a hot key.", "Error", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

bool EntryWaiting(int n) { return SlotOf(n).waiting && HotkeyEntry(n).packed != 0; }

void ClearEntry(int n) {
  UnregisterEntry(n);
  DeleteEntryAtom(n);
  SlotOf(n).waiting = false;
  HotkeyEntry(n).packed = 0;
}

void UnregisterAllHotkeys() {
  for (int n = 1; n <= klv::kHotkeyCount; ++n) {
    UnregisterEntry(n);
    SlotOf(n).waiting = false;
  }
}

void DeleteAllAtoms() {
  for (int n = 1; n <= klv::kHotkeyCount; ++n) DeleteEntryAtom(n);
}

void ReregisterAllHotkeys(bool enabled) {
  gSettings.hotkeysEnabled = enabled;
  ShowRefusals(RegisterAllAfresh());
}

void RenewAllHotkeys() { RegisterAllAfresh(); }

void RetryWaitingHotkeys() {
  if (!gSettings.hotkeysEnabled) return;
  for (int n = 1; n <= klv::kHotkeyCount; ++n) {
    if (EntryWaiting(n)) RegisterEntryHotkey(n);
  }
}

bool RetryWaitingHotkeysOnResume(uintptr_t powerEvent) {
  if (powerEvent != PBT_APMRESUMEAUTOMATIC && powerEvent != PBT_APMRESUMESUSPEND) return false;
  RetryWaitingHotkeys();
  return true;
}

void LoadSettingsAndRegisterHotkeys(const klv::IniReader& ini) {
  std::vector<klv::RefusedHotkey> refused;
  klv::ReadSettings(ini, gSettings, gLastPlaybackPosition, [&refused](int row, int32_t packed) {
    HotkeyEntry(row + 1).packed = packed;
    if (gSettings.hotkeysEnabled) RegisterNotingRefusal(row + 1, refused);
  });
  ShowRefusals(refused);
}

void AdoptLeftoverAtoms() {
  for (int n = 1; n <= klv::kHotkeyCount; ++n) {
    const ATOM found = GlobalFindAtomA(HotkeyEntry(n).name.c_str());
    if (found == 0) continue;
    HotkeyEntry(n).id = found;
    SlotOf(n).atomAdded = true;
  }
}
