// The hotkey table's registration with the system, on the host main window.
#pragma once

#include "core/hotkey_actions.h"
#include "core/ini_access.h"

void FillEntryNames();
// True when the system accepted the combination; a refusal shows the error
// box and clears the entry's combination. Without an atom to register under
// nothing is registered and the combination stays.
bool RegisterEntryHotkey(klv::keystype& entry);
void ClearEntry(int n);  // n = 1..16
void UnregisterAllHotkeys();
void DeleteAllAtoms();
void ReregisterAllHotkeys(bool enabled);
// At start: reads the settings, registering each entry's value as it is
// read. Stops, false, at a quit inside a refusal's box: the file is gone then.
bool LoadSettingsAndRegisterHotkeys(const klv::IniReader& ini);
// A start that takes over the marker of a process that ended without quit:
// the hotkey atoms that process added are ours to delete at quit.
void AdoptLeftoverAtoms();
