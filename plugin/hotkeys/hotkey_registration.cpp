// The hotkey table's registration with the system. Each row's id is a global
// atom of its action's name; the combination is registered on the host main
// window.
#include "plugin/hotkeys/hotkey_registration.h"

#include <windows.h>
#include <versionhelpers.h>

#include "plugin/plugin_state.h"

namespace {

void UnregisterEntry(klv::HotkeyRow& row) {
  if (row.entry.id != 0) UnregisterHotKey(HostMainWindow(), static_cast<int>(row.entry.id));
  row.registration.registered = false;
}

// Another row of ours that holds the row's combination: the system refuses it
// for as long as that one keeps it, so waiting would be in vain.
const klv::HotkeyRow* OwnHolderOf(const klv::HotkeyRow& row) {
  for (const klv::HotkeyRow& other : gHotkeyTable) {
    if (&other != &row && other.registration.registered && other.entry.packed == row.entry.packed)
      return &other;
  }
  return nullptr;
}

// Keeps each deletion matched to a holding: the id goes to 0 with the atom.
void DeleteEntryAtom(klv::HotkeyRow& row) {
  if (row.entry.id == 0) return;
  if (row.registration.atomAdded) GlobalDeleteAtom(static_cast<ATOM>(row.entry.id));
  row.registration.atomAdded = false;
  row.entry.id = 0;
}

// Once per press: the system drops the held key's repeats itself where it
// knows MOD_NOREPEAT (Windows 7 on); older ones are not given the flag.
UINT ModifiersFor(const klv::HotkeyRow& row) {
  UINT modifiers = klv::HotkeyModifiers(row.entry.packed);
  static const bool noRepeatKnown = IsWindows7OrGreater();
  if (noRepeatKnown && !klv::RepeatsWhileHeld(row.action)) modifiers |= MOD_NOREPEAT;
  return modifiers;
}

// Every registration given back and, with hotkeys on, taken again; the
// refused ones come back in table order.
std::vector<klv::RefusedHotkey> RegisterAllAfresh() {
  UnregisterAllHotkeys();
  DeleteAllAtoms();
  std::vector<klv::RefusedHotkey> refused;
  if (!gSettings.hotkeysEnabled) return refused;
  for (klv::HotkeyRow& row : gHotkeyTable) RegisterNotingRefusal(row, refused);
  return refused;
}

}  // namespace

bool RegisterEntryHotkey(klv::HotkeyRow& row) {
  klv::keystype& entry = row.entry;
  // A new combination replaces the row's old one rather than joining it.
  UnregisterEntry(row);
  row.registration.waiting = false;
  ATOM found = GlobalFindAtomA(row.action.atomName);
  if (found != 0) {
    // Still ours when we added it earlier and have not deleted it since.
    if (found != entry.id) row.registration.atomAdded = false;
    entry.id = found;
  } else {
    entry.id = GlobalAddAtomA(row.action.atomName);
    row.registration.atomAdded = entry.id != 0;
    // No id to register under (the atom table is full): id 0 would be a
    // registration nothing answers or releases. The combination stays, so a
    // later start tries again.
    if (entry.id == 0) return false;
  }
  if (RegisterHotKey(HostMainWindow(), static_cast<int>(entry.id), ModifiersFor(row),
                     klv::HotkeyKeyCode(entry.packed))) {
    row.registration.registered = true;
    return true;
  }
  row.registration.waiting = OwnHolderOf(row) == nullptr;
  return false;
}

bool AssignEntryHotkey(klv::HotkeyRow& row, klv::PackedHotkey packed) {
  row.entry.packed = packed;
  if (RegisterEntryHotkey(row)) return true;
  if (!EntryWaiting(row) && OwnHolderOf(row) == nullptr) return false;  // no atom to register under
  // Cleared before the box: nothing that runs while it is up finds it waiting.
  ClearEntry(row);
  MessageBoxA(nullptr, "Unable to set a hot key.", "Error", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

bool EntryWaiting(const klv::HotkeyRow& row) { return row.registration.waiting && row.entry.packed != 0; }

void ClearEntry(klv::HotkeyRow& row) {
  UnregisterEntry(row);
  DeleteEntryAtom(row);
  row.registration.waiting = false;
  row.entry.packed = 0;
}

void UnregisterAllHotkeys() {
  for (klv::HotkeyRow& row : gHotkeyTable) {
    UnregisterEntry(row);
    row.registration.waiting = false;
  }
}

void DeleteAllAtoms() {
  for (klv::HotkeyRow& row : gHotkeyTable) DeleteEntryAtom(row);
}

void ReregisterAllHotkeys(bool enabled) {
  gSettings.hotkeysEnabled = enabled;
  ShowRefusals(RegisterAllAfresh());
}

void RenewAllHotkeys() { RegisterAllAfresh(); }

void RetryWaitingHotkeys() {
  if (!gSettings.hotkeysEnabled) return;
  for (klv::HotkeyRow& row : gHotkeyTable) {
    if (EntryWaiting(row)) RegisterEntryHotkey(row);
  }
}

bool RetryWaitingHotkeysOnResume(uintptr_t powerEvent) {
  if (powerEvent != PBT_APMRESUMEAUTOMATIC && powerEvent != PBT_APMRESUMESUSPEND) return false;
  RetryWaitingHotkeys();
  return true;
}

void RegisterNotingRefusal(klv::HotkeyRow& row, std::vector<klv::RefusedHotkey>& refused) {
  const klv::PackedHotkey packed = row.entry.packed;
  if (packed == 0 || RegisterEntryHotkey(row)) return;
  const klv::HotkeyRow* holder = OwnHolderOf(row);
  if (holder != nullptr || EntryWaiting(row))
    refused.push_back({row.position, packed, holder != nullptr ? &holder->action : nullptr});
}

void ShowRefusals(const std::vector<klv::RefusedHotkey>& refused) {
  if (refused.empty()) return;
  MessageBoxA(nullptr, klv::RefusalText(refused).c_str(), "Error", MB_OK | MB_ICONEXCLAMATION);
}

void AdoptLeftoverAtoms() {
  for (klv::HotkeyRow& row : gHotkeyTable) {
    const ATOM found = GlobalFindAtomA(row.action.atomName);
    if (found == 0) continue;
    row.entry.id = found;
    row.registration.atomAdded = true;
  }
}
