// What the dialog suites share, through the DLL or linked: the controls as a
// user reaches them, and a driver that runs steps against the modal
// assignment dialog from inside its loop. Only the dialogs' ids, no code of
// the plug-in.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "testkit/modal_script.h"

namespace dialog_kit {

constexpr int kNext = 4;  // hotkey table rows, also the rows of the dialog's list
constexpr int kPlay = 1;
constexpr int kPlayPause = 15;
const klv::PackedHotkey kCtrlAltF9 = klv::PackHotkey(VK_F9, true, true, false, false);

}  // namespace dialog_kit

bool IsChecked(HWND button);
// What a click on a row's check box does to a list view with check boxes: the
// state changes inside the list and it notifies its dialog.
void MarkListRow(HWND list, int row, bool marked);
// A user's double click on the caption of a row of a list view.
void DoubleClickListRow(HWND list, int row);

// Runs steps against the assignment dialog from inside its modal loop, one
// per tick of a modal script. Records what each dialog showed when it opened.
class AssignDialogDriver {
 public:
  struct Snapshot {
    bool enable, alt, ctrl, shift, win;
    bool altEnabled, keyEnabled, enableEnabled, assignEnabled;
    std::string key;
    std::wstring caption;
  };
  using Step = std::function<void(HWND dialog)>;

  explicit AssignDialogDriver(std::vector<Step> steps);

  int opened = 0;   // distinct dialogs seen
  size_t done = 0;  // steps run

  std::vector<Snapshot> snapshots;

 private:
  static HWND Dialog();
  static Snapshot TakeSnapshot(HWND dialog);
  static std::vector<ModalScript::Step> ScriptSteps(AssignDialogDriver* self, std::vector<Step> steps);
  void Watch();

  HWND last_ = nullptr;
  bool openedThisTick_ = false;  // a step acts from the tick after the one that saw its dialog open
  ModalScript script_;
};

// Steps of the assignment dialog.
AssignDialogDriver::Step ClickIn(int id);
AssignDialogDriver::Step TypeKey(const char* name);
AssignDialogDriver::Step PickKey(const char* name);
AssignDialogDriver::Step CloseBox();
AssignDialogDriver::Step ExpectOpen(bool* flag);

// The form's own control that holds the focus (a combo box's edit counts as the combo box).
int FocusedControl(HWND form);
// Tab as the user presses it, through the thread's message queue.
void PressTab(HWND form);
