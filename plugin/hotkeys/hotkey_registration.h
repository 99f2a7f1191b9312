// The hotkey table's registration with the system, on the host main window.
#pragma once

#include <cstdint>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "core/hotkeys/hotkey_conflict.h"

// True when the system accepted the row's combination. A refused row keeps
// its combination and waits for its key (RowWaiting), silently, unless
// another row of ours holds it; without an atom to register under nothing is
// registered and nothing waits.
bool RegisterRowHotkey(klv::HotkeyRow& row);
// The assignment dialog's choice: a refusal shows the error box and leaves
// the row unassigned, as the user has just picked the combination.
bool AssignRowHotkey(klv::HotkeyRow& row, klv::PackedHotkey packed);
// The row's combination as the settings hold it; 0: none.
klv::PackedHotkey RowCombination(const klv::HotkeyRow& row);
bool RowWaiting(const klv::HotkeyRow& row);
void ClearRow(klv::HotkeyRow& row);
void UnregisterAllHotkeys();  // nothing waits afterwards
void DeleteAllAtoms();
// Init's registration, after the settings are read: with hotkeys on, every
// assigned row in table order, the refused ones named in one box at the end.
void RegisterAllHotkeys();
// The hotkeys box: stored, then every registration given back and, switched
// on, taken again, the refused ones named in one box at the end.
void SetHotkeysEnabled(bool enabled);
// Every assigned row registered anew, a refused one left waiting silently.
void RenewAllHotkeys();
// The waiting rows tried again, silently: their key may be free now.
void RetryWaitingHotkeys();
// WM_POWERBROADCAST's event: after a resume from sleep, RetryWaitingHotkeys
// (the program that held a key may have ended meanwhile). True when it ran.
bool RetryWaitingHotkeysOnResume(uintptr_t powerEvent);
// Registers an assigned row; a refused one joins the list to name, with the
// row of ours that holds its combination, if one does.
void RegisterNotingRefusal(klv::HotkeyRow& row, std::vector<klv::RefusedHotkey>& refused);
// Names the refused rows in one box. Last thing its callers do: while the box
// is up the user or the host may quit, reconfigure or unload.
void ShowRefusals(const std::vector<klv::RefusedHotkey>& refused);
// A start that takes over the marker of a process that ended without quit:
// the hotkey atoms that process added are ours to delete at quit.
void AdoptLeftoverAtoms();
