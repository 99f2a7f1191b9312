// The hotkey table's registration with the system. Each row's id is a global
// atom of its action's name; the combination is registered on the host main
// window.
#include "plugin/hotkeys/hotkey_registration.h"

#include <windows.h>
#include <versionhelpers.h>

#include "plugin/plugin_state.h"

namespace {

void UnregisterRow(klv::HotkeyRow& row) {
  if (row.binding.id != 0) UnregisterHotKey(HostMainWindow(), static_cast<int>(row.binding.id));
  row.registration.registered = false;
}

// Another row of ours that holds the row's combination: the system refuses it
// for as long as that one keeps it, so waiting would be in vain.
const klv::HotkeyRow* OwnHolderOf(const klv::HotkeyRow& row) {
  for (const klv::HotkeyRow& other : gHotkeyTable) {
    if (&other != &row && other.registration.registered && other.binding.packed == row.binding.packed)
      return &other;
  }
  return nullptr;
}

// Keeps each deletion matched to a holding: the id goes to 0 with the atom.
void DeleteRowAtom(klv::HotkeyRow& row) {
  if (row.binding.id == 0) return;
  if (row.registration.atomAdded) GlobalDeleteAtom(static_cast<ATOM>(row.binding.id));
  row.registration.atomAdded = false;
  row.binding.id = 0;
}

// Once per press: the system drops the held key's repeats itself where it
// knows MOD_NOREPEAT (Windows 7 on); older ones are not given the flag.
UINT ModifiersFor(const klv::HotkeyRow& row) {
  UINT modifiers = klv::HotkeyModifiers(row.binding.packed);
  if (!klv::RepeatsWhileHeld(row.action) && IsWindows7OrGreater()) modifiers |= MOD_NOREPEAT;
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

bool RegisterRowHotkey(klv::HotkeyRow& row) {
  klv::HotkeyBinding& binding = row.binding;
  // A new combination replaces the row's old one rather than joining it.
  UnregisterRow(row);
  row.registration.waiting = false;
  ATOM found = GlobalFindAtomA(row.action.atomName);
  if (found != 0) {
    // Still ours when we added it earlier and have not deleted it since.
    if (found != binding.id) row.registration.atomAdded = false;
    binding.id = found;
  } else {
    binding.id = GlobalAddAtomA(row.action.atomName);
    row.registration.atomAdded = binding.id != 0;
    // No id to register under (the atom table is full): id 0 would be a
    // registration nothing answers or releases. The combination stays, so a
    // later start tries again.
    if (binding.id == 0) return false;
  }
  if (RegisterHotKey(HostMainWindow(), static_cast<int>(binding.id), ModifiersFor(row),
                     klv::HotkeyKeyCode(binding.packed))) {
    row.registration.registered = true;
    return true;
  }
  row.registration.waiting = OwnHolderOf(row) == nullptr;
  return false;
}

bool AssignRowHotkey(klv::HotkeyRow& row, klv::PackedHotkey packed) {
  row.binding.packed = packed;
  if (RegisterRowHotkey(row)) return true;
  if (!RowWaiting(row) && OwnHolderOf(row) == nullptr) return false;  // no atom to register under
  // Cleared before the box: nothing that runs while it is up finds it waiting.
  ClearRow(row);
  MessageBoxA(nullptr, "Unable to set a hot key.", "Error", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

bool RowWaiting(const klv::HotkeyRow& row) { return row.registration.waiting && row.binding.packed != 0; }

void ClearRow(klv::HotkeyRow& row) {
  UnregisterRow(row);
  DeleteRowAtom(row);
  row.registration.waiting = false;
  row.binding.packed = 0;
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

void ReregisterAllHotkeys(bool enabled) {
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
  const klv::PackedHotkey packed = row.binding.packed;
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
    row.binding.id = found;
    row.registration.atomAdded = true;
  }
}
