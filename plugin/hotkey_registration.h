// The hotkey table's registration with the system, on the host main window.
#pragma once

#include <cstdint>

#include "core/hotkey_actions.h"
#include "core/ini_access.h"

void FillEntryNames();
// Entries n = 1..16. True when the system accepted the combination. A refused
// entry keeps its combination and waits for its key (EntryWaiting), silently;
// without an atom to register under nothing is registered and nothing waits.
bool RegisterEntryHotkey(int n);
// The assignment dialog's choice: a refusal shows the error box and leaves
// the entry unassigned, as the user has just picked the combination.
bool AssignEntryHotkey(int n, klv::PackedHotkey packed);
bool EntryWaiting(int n);
void ClearEntry(int n);
void UnregisterAllHotkeys();  // nothing waits afterwards
void DeleteAllAtoms();
// Switched on, the refused combinations are named in one box at the end.
void ReregisterAllHotkeys(bool enabled);
// Every assigned entry registered anew, a refused one left waiting silently.
void RenewAllHotkeys();
// The waiting entries tried again, silently: their key may be free now.
void RetryWaitingHotkeys();
// WM_POWERBROADCAST's event: after a resume from sleep, RetryWaitingHotkeys
// (the program that held a key may have ended meanwhile). True when it ran.
bool RetryWaitingHotkeysOnResume(uintptr_t powerEvent);
// At start: reads the settings, registering each entry's value as it is
// read, then names the refused ones in one box.
void LoadSettingsAndRegisterHotkeys(const klv::IniReader& ini);
// A start that takes over the marker of a process that ended without quit:
// the hotkey atoms that process added are ours to delete at quit.
void AdoptLeftoverAtoms();
