// The hotkey table's registration with the system. Each row's id is a global
// atom of its action's name; the combination, the settings' one, is
// registered on the host main window.
#include "plugin/hotkeys/hotkey_registration.h"

#include <windows.h>
#include <versionhelpers.h>

#include "plugin/plugin_state.h"

namespace {

void UnregisterRow(klv::HotkeyRow& row) {
  if (row.registration.atom != 0) UnregisterHotKey(HostMainWindow(), static_cast<int>(row.registration.atom));
  row.registration.registered = false;
}

// Another row of ours that holds the row's combination: the system refuses it
// for as long as that one keeps it, so waiting would be in vain.
const klv::HotkeyRow* OwnHolderOf(const klv::HotkeyRow& row) {
  for (const klv::HotkeyRow& other : gHotkeyTable) {
    if (&other != &row && other.registration.registered && RowCombination(other) == RowCombination(row))
      return &other;
  }
  return nullptr;
}

// Keeps each deletion matched to a holding: the id goes to 0 with the atom.
void DeleteRowAtom(klv::HotkeyRow& row) {
  klv::HotkeyRegistration& registration = row.registration;
  if (registration.atom == 0) return;
  if (registration.atomAdded) GlobalDeleteAtom(static_cast<ATOM>(registration.atom));
  registration.atomAdded = false;
  registration.atom = 0;
}

// Once per press: the system drops the held key's repeats itself where it
// knows MOD_NOREPEAT (Windows 7 on); older ones are not given the flag.
UINT ModifiersFor(const klv::HotkeyRow& row) {
  UINT modifiers = klv::HotkeyModifiers(RowCombination(row));
  if (!klv::RepeatsWhileHeld(row.action) && IsWindows7OrGreater()) modifiers |= MOD_NOREPEAT;
  return modifiers;
}

// With hotkeys on, every assigned row registered in table order; the refused
// ones come back in that order.
std::vector<klv::RefusedHotkey> RegisterAssignedRows() {
  std::vector<klv::RefusedHotkey> refused;
  if (!gSettings.hotkeysEnabled) return refused;
  for (klv::HotkeyRow& row : gHotkeyTable) RegisterNotingRefusal(row, refused);
  return refused;
}

// Every registration given back and, with hotkeys on, taken again.
std::vector<klv::RefusedHotkey> RegisterAllAfresh() {
  UnregisterAllHotkeys();
  DeleteAllAtoms();
  return RegisterAssignedRows();
}

}  // namespace

bool RegisterRowHotkey(klv::HotkeyRow& row) {
  klv::HotkeyRegistration& registration = row.registration;
  // A new combination replaces the row's old one rather than joining it.
  UnregisterRow(row);
  registration.waiting = false;
  ATOM found = GlobalFindAtomA(row.action.atomName);
  if (found != 0) {
    // Still ours when we added it earlier and have not deleted it since.
    if (found != registration.atom) registration.atomAdded = false;
    registration.atom = found;
  } else {
    registration.atom = GlobalAddAtomA(row.action.atomName);
    registration.atomAdded = registration.atom != 0;
    // No id to register under (the atom table is full): id 0 would be a
    // registration nothing answers or releases. The combination stays, so a
    // later start tries again.
    if (registration.atom == 0) return false;
  }
  if (RegisterHotKey(HostMainWindow(), static_cast<int>(registration.atom), ModifiersFor(row),
                     klv::HotkeyKeyCode(RowCombination(row)))) {
    registration.registered = true;
    return true;
  }
  registration.waiting = OwnHolderOf(row) == nullptr;
  return false;
}

bool AssignRowHotkey(klv::HotkeyRow& row, klv::PackedHotkey packed) {
  gSettings.hotkeys[row.position] = packed;
  if (RegisterRowHotkey(row)) return true;
  if (!RowWaiting(row) && OwnHolderOf(row) == nullptr) return false;  // no atom to register under
  // Cleared before the box: nothing that runs while it is up finds it waiting.
  ClearRow(row);
  MessageBoxA(nullptr, "Unable to set a hot key.", "Error", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

klv::PackedHotkey RowCombination(const klv::HotkeyRow& row) { return gSettings.hotkeys[row.position]; }

bool RowWaiting(const klv::HotkeyRow& row) { return row.registration.waiting && RowCombination(row) != 0; }

void ClearRow(klv::HotkeyRow& row) {
  UnregisterRow(row);
  DeleteRowAtom(row);
  row.registration.waiting = false;
  gSettings.hotkeys[row.position] = 0;
}

void UnregisterAllHotkeys() {
  for (klv::HotkeyRow& row : gHotkeyTable) {
    UnregisterRow(row);
    row.registration.waiting = false;
  }
}

void DeleteAllAtoms() {
  for (klv::HotkeyRow& row : gHotkeyTable) DeleteRowAtom(row);
}

void RegisterAllHotkeys() { ShowRefusals(RegisterAssignedRows()); }

void SetHotkeysEnabled(bool enabled) {
  gSettings.hotkeysEnabled = enabled;
  ShowRefusals(RegisterAllAfresh());
}

void RenewAllHotkeys() { RegisterAllAfresh(); }

void RetryWaitingHotkeys() {
  if (!gSettings.hotkeysEnabled) return;
  for (klv::HotkeyRow& row : gHotkeyTable) {
    if (RowWaiting(row)) RegisterRowHotkey(row);
  }
}

bool RetryWaitingHotkeysOnResume(uintptr_t powerEvent) {
  if (powerEvent != PBT_APMRESUMEAUTOMATIC && powerEvent != PBT_APMRESUMESUSPEND) return false;
  RetryWaitingHotkeys();
  return true;
}

void RegisterNotingRefusal(klv::HotkeyRow& row, std::vector<klv::RefusedHotkey>& refused) {
  const klv::PackedHotkey packed = RowCombination(row);
  if (packed == 0 || RegisterRowHotkey(row)) return;
  const klv::HotkeyRow* holder = OwnHolderOf(row);
  if (holder != nullptr || RowWaiting(row))
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
    row.registration.atom = found;
    row.registration.atomAdded = true;
  }
}
