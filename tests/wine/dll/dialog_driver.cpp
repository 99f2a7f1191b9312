#include "tests/wine/dll/dialog_driver.h"

#include <commctrl.h>

#include <utility>

#include "testkit/test_kit.h"
#include "ui/assign_dialog_ids.h"

bool IsChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// ---- The assignment dialog's driver ----

AssignDialogDriver::AssignDialogDriver(std::vector<Step> steps)
    : script_(ScriptSteps(this, std::move(steps)), ModalScript::LaterBoxes::kLeave, [this] { Watch(); }) {}

std::vector<ModalScript::Step> AssignDialogDriver::ScriptSteps(AssignDialogDriver* self,
                                                               std::vector<Step> steps) {
  std::vector<ModalScript::Step> scriptSteps;
  for (Step& step : steps) {
    scriptSteps.push_back({[self] { return self->openedThisTick_ ? nullptr : Dialog(); },
                           [self, step = std::move(step)](HWND dialog) {
                             ++self->done;
                             step(dialog);
                           }});
  }
  return scriptSteps;
}

HWND AssignDialogDriver::Dialog() {
  HWND dialog = FindWindowW(form2::kClassName, nullptr);
  return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
}

void AssignDialogDriver::Watch() {
  HWND dialog = Dialog();
  openedThisTick_ = dialog != nullptr && dialog != last_;
  if (!openedThisTick_) return;
  last_ = dialog;
  ++opened;
  snapshots.push_back(TakeSnapshot(dialog));
}

AssignDialogDriver::Snapshot AssignDialogDriver::TakeSnapshot(HWND dialog) {
  auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
  wchar_t caption[128] = {};
  GetWindowTextW(dialog, caption, 128);
  return {IsChecked(item(form2::kEnableBox)),
          IsChecked(item(form2::kAltBox)),
          IsChecked(item(form2::kCtrlBox)),
          IsChecked(item(form2::kShiftBox)),
          IsChecked(item(form2::kWinBox)),
          IsWindowEnabled(item(form2::kAltBox)) != FALSE,
          IsWindowEnabled(item(form2::kKeyBox)) != FALSE,
          IsWindowEnabled(item(form2::kEnableBox)) != FALSE,
          IsWindowEnabled(item(form2::kAssignButton)) != FALSE,
          WindowTextOf(item(form2::kKeyBox)),
          caption};
}

AssignDialogDriver::Step ClickIn(int id) {
  return [id](HWND dialog) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); };
}

AssignDialogDriver::Step TypeKey(const char* name) {
  return [name](HWND dialog) { SetWindowTextA(GetDlgItem(dialog, form2::kKeyBox), name); };
}

AssignDialogDriver::Step PickKey(const char* name) {
  return [name](HWND dialog) {
    SendMessageA(GetDlgItem(dialog, form2::kKeyBox), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(name));
  };
}

AssignDialogDriver::Step CloseBox() {
  return [](HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
}

AssignDialogDriver::Step ExpectOpen(bool* flag) {
  return [flag](HWND dialog) { *flag = IsWindowVisible(dialog) != FALSE; };
}

int FocusedControl(HWND form) {
  HWND focus = GetFocus();
  while (focus != nullptr && GetParent(focus) != form) focus = GetParent(focus);
  return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

void PressTab(HWND form) {
  PostMessageA(GetFocus() != nullptr ? GetFocus() : form, WM_KEYDOWN, VK_TAB, 1);
  PostMessageA(GetFocus() != nullptr ? GetFocus() : form, WM_KEYUP, VK_TAB, 0xC0000001);
}

void MarkListRow(HWND list, int row, bool marked) {
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(marked ? 2 : 1);
  SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void DoubleClickListRow(HWND list, int row) {
  RECT rect{};
  rect.left = LVIR_LABEL;
  SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageA(list, WM_LBUTTONUP, 0, point);
  SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  SendMessageA(list, WM_LBUTTONUP, 0, point);
}
