// The randomised lifecycle run's checks: the invariants after every step and
// what the dialog shows against what its "Exit" wrote.
#include "tests/wine/dll/random_lifecycle/model.h"

namespace random_lifecycle {

void Sequence::CheckInvariants() {
  if (!VisibleModals().empty()) Fail("a modal window outlived the call that opened it");
  if (CountVisibleWindows(L"TForm1") > 1) Fail("two configuration dialogs on screen");
  if (!inprocRunning_ && ConfigDialog() != nullptr)
    Fail("a configuration dialog while the plug-in is stopped");

  const bool live = inprocRunning_ || childRunsPlugin_;
  const bool marker = GlobalAtomExists(kInstanceAtom);
  if (live && !marker) Fail("no instance atom while a player runs the plug-in");
  if (!live && marker && !staleMarker_) Fail("an instance atom while no player runs the plug-in");

  uintptr_t imageStart = 0, imageEnd = 0;
  if (HMODULE mapped = GetModuleHandleA(PluginDllPath().c_str())) {
    MODULEINFO image{};
    GetModuleInformation(GetCurrentProcess(), mapped, &image, sizeof(image));
    imageStart = reinterpret_cast<uintptr_t>(image.lpBaseOfDll);
    imageEnd = imageStart + image.SizeOfImage;
  }
  for (HWND window : {host_->main, host_->playlist, host_->equalizer}) {
    const auto procedure = reinterpret_cast<LONG>(WindowProcedure(window));
    if (procedure == hostProcedure_) {
      if (window == host_->main && inprocRunning_)
        Fail("the host main window is not hooked while the plug-in runs");
      continue;
    }
    const auto address = static_cast<uintptr_t>(procedure);
    if (address < imageStart || address >= imageEnd) {
      Fail("a host window calls code that is neither the host's nor the loaded plug-in's");
    } else if (!inprocRunning_) {
      Fail("a host window still calls the plug-in after it stopped");
    }
  }

  if (!live) {
    for (int key = 0; key < kPoolKeyCount; ++key) {
      for (bool shift : {false, true}) {
        const klv::PackedHotkey combination = PoolCombination(key, shift);
        if (combination != grabbed_ && !IsFree(combination, probe_)) {
          Fail(std::string("Ctrl+Alt+") + (shift ? "Shift+" : "") + kPoolKeys[key].name +
               " stays registered after quit");
        }
      }
    }
    if (!staleMarker_) {
      for (const klv::HotkeyAction& action : klv::kHotkeyActions) {
        if (GlobalAtomExists(action.atomName))
          Fail(std::string("the atom ") + action.atomName + " outlived quit");
      }
    }
  }
}

DialogShown Sequence::ReadDialog(HWND dialog) const {
  auto checked = [dialog](int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  DialogShown shown;
  shown.hotkeys = checked(form1::kHotkeysBox);
  for (int row = 0; row < klv::kHotkeyCount; ++row)
    shown.marks.push_back(RowMarked(GetDlgItem(dialog, form1::kHotkeyList), row));
  shown.active = checked(form1::kActiveTransparencyBox);
  shown.inactive = checked(form1::kInactiveTransparencyBox);
  for (int i = 0; i < 6; ++i)
    shown.sliders[i] = static_cast<int>(SendDlgItemMessageA(dialog, kSliders[i], TBM_GETPOS, 0, 0));
  shown.osd = checked(form1::kOsdBox);
  for (int i = 0; i < 9; ++i) {
    if (checked(form1::kOsdPositionItem0 + i)) shown.position = i;
  }
  shown.displayTime = WindowTextOf(GetDlgItem(dialog, form1::kDisplayTimeEdit));
  shown.playOnStart = checked(form1::kPlayOnStartBox);
  shown.remember = checked(form1::kRememberPositionBox);
  return shown;
}

void Sequence::CheckFileShows(const DialogShown& shown) {
  auto value = [this](const char* section, const char* key) { return install_->IniValue(section, key); };
  auto expectFlag = [&](const char* section, const char* key, bool on) {
    const std::string stored = value(section, key);
    if (stored != (on ? "1" : "0"))
      Fail(std::string("[") + section + "] " + key + "=" + stored + " but the dialog showed it " +
           (on ? "on" : "off"));
  };
  expectFlag("Hotkeys", "Enable", shown.hotkeys);
  for (int row = 0; row < klv::kHotkeyCount; ++row) {
    const std::string stored = value("HotKeys", klv::kHotkeyActions[row].atomName);
    const bool holds = stored != "0" && stored != "<missing>";
    if (holds != shown.marks[row]) {
      Fail(std::string("row ") + std::to_string(row) +
           (shown.marks[row] ? " was checked" : " was unchecked") + " but the file stores " +
           klv::kHotkeyActions[row].atomName + "=" + stored);
    }
  }
  expectFlag("Transparency", "EnableActive", shown.active);
  expectFlag("Transparency", "EnableInactive", shown.inactive);
  for (int i = 0; i < 6; ++i) {
    // The slider shows the stored level or, once moved, stored its own position.
    const std::string stored = value("Transparency", kLevelKeys[i]);
    const StoredLevel* row = nullptr;
    for (const StoredLevel& candidate : kStoredLevels) {
      if (stored == std::to_string(candidate.level)) row = &candidate;
    }
    if (row == nullptr) {
      Fail(std::string(kLevelKeys[i]) + "=" + stored + ", a level neither the file nor a slider stop gives");
    } else if (shown.sliders[i] != row->shownAt && shown.sliders[i] != row->storedFrom) {
      Fail(std::string(kLevelKeys[i]) + "=" + stored + " but its slider stood at " +
           std::to_string(shown.sliders[i]));
    }
  }
  expectFlag("OSD", "Enable", shown.osd);
  if (shown.position >= 0 && value("OSD", "OSDPosition") != std::to_string(shown.position)) {
    Fail("OSDPosition=" + value("OSD", "OSDPosition") + " but item " + std::to_string(shown.position) +
         " was checked");
  }
  for (const TypedTime& typed : kTypedTimes) {
    if (shown.displayTime == typed.text && typed.valid &&
        value("OSD", "OSDDisplayTime") != std::to_string(typed.value)) {
      Fail("OSDDisplayTime=" + value("OSD", "OSDDisplayTime") + " but the dialog showed " +
           shown.displayTime);
    }
  }
  expectFlag("Track", "PlayOnStart", shown.playOnStart);
  expectFlag("Track", "RememberPosition", shown.remember);
}

}  // namespace random_lifecycle
