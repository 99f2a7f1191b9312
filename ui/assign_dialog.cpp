#include "ui/assign_dialog.h"

#include <commctrl.h>

#include <iterator>
#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "core/hotkeys/key_names.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/plugin_state.h"
#include "ui/ui_module.h"
#include "win32/module_hold.h"

namespace {

using K = ControlKind;

// One row, as the user reads it: Enable, the four modifiers, the key, Assign.
// "Ctrl" is 40 wide, not 41, so that it ends where "Shift" begins.
// clang-format off
const ControlRow kForm2Controls[] = {
    // kind          id                    parent x    y  w   h   caption   hint     tab
    {K::kCheckBox,   form2::kEnableBox,    0,     8,   8, 57, 17, "Enable", nullptr, 5},
    {K::kCheckBox,   form2::kAltBox,       0,     80,  8, 33, 17, "Alt",    nullptr, 0},
    {K::kCheckBox,   form2::kCtrlBox,      0,     120, 8, 40, 17, "Ctrl",   nullptr, 1},
    {K::kCheckBox,   form2::kShiftBox,     0,     160, 8, 41, 17, "Shift",  nullptr, 2},
    {K::kCheckBox,   form2::kWinBox,       0,     208, 8, 41, 17, "Win",    nullptr, 3},
    {K::kComboBox,   form2::kKeyBox,       0,     256, 8, 81, 21, "",       nullptr, 4},
    {K::kPushButton, form2::kAssignButton, 0,     344, 8, 75, 21, "Assign", nullptr, 6},
};
// clang-format on

// "Установка горячей клавиши", kept as UTF-16 so it shows on any code page.
constexpr wchar_t kCaption[] =
    L"\u0423\u0441\u0442\u0430\u043d\u043e\u0432\u043a\u0430 \u0433\u043e\u0440\u044f\u0447\u0435\u0439 "
    L"\u043a\u043b\u0430\u0432\u0438\u0448\u0438";
const FormPlacement kPlacement = {form2::kClassName,
                                  kCaption,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                  WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT,
                                  -2,
                                  27,
                                  427,
                                  37};

const int kModifierBoxes[] = {form2::kAltBox, form2::kCtrlBox, form2::kShiftBox, form2::kWinBox};

}  // namespace

TForm2::TForm2(klv::HotkeyRow& row, HWND owner) : FormFrame(kPlacement), row_(row), owner_(owner) {
  CreateFormWindow(owner);
}

void TForm2::CreateControls() {
  layout_.Build(Window(), kForm2Controls, std::size(kForm2Controls));
  // The box is narrow; its list opens wide enough to show every name whole.
  std::vector<std::wstring> names;
  for (const klv::KeyName& key : klv::KeyNameTable) names.push_back(Widen(key.name));
  layout_.FillDropDown(form2::kKeyBox, names);
  SetWindowSubclass(layout_.Control(form2::kEnableBox), EnableBoxProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void TForm2::ShowModal() {
  HWND window = Window();
  if (window == nullptr) return;
  const bool ownerWasEnabled = owner_ != nullptr && IsWindowEnabled(owner_);
  if (owner_ != nullptr) EnableWindow(owner_, FALSE);
  FormShow();
  ShowInFront();

  MSG msg;
  while (!closed_ && Window() != nullptr) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the host's loop must see it too
      FormClose();
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // Re-enable before hiding, so that activation returns to the owner.
  if (ownerWasEnabled && IsWindow(owner_)) EnableWindow(owner_, TRUE);
  if (Window() != nullptr) ShowWindow(window, SW_HIDE);
}

LRESULT CALLBACK TForm2::EnableBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) noexcept {
  const CallInProgress call;
  try {
    if (message == WM_CHAR) reinterpret_cast<TForm2*>(data)->EnableKeyPress();
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, EnableBoxProc, 0);
  } catch (...) {
  }
  return DefSubclassProc(box, message, wParam, lParam);
}

void TForm2::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == form2::kEnableBox) EnableClick();
  if (id == form2::kAssignButton) AssignClick();
}

void TForm2::ApplyEnableState() {
  const bool enabled = Checked(form2::kEnableBox);
  for (int id : kModifierBoxes) layout_.SetEnabled(id, enabled);
  layout_.SetEnabled(form2::kKeyBox, enabled);
}

void TForm2::FormShow() {
  const klv::PackedHotkey packed = RowCombination(row_);
  const uint16_t modifiers = klv::HotkeyModifiers(packed);
  SetChecked(form2::kEnableBox, packed != 0);
  ApplyEnableState();
  if (packed != 0) {
    SetChecked(form2::kAltBox, (modifiers & klv::kModAlt) != 0);
    SetChecked(form2::kCtrlBox, (modifiers & klv::kModCtrl) != 0);
    SetChecked(form2::kShiftBox, (modifiers & klv::kModShift) != 0);
    SetChecked(form2::kWinBox, (modifiers & klv::kModWin) != 0);
  }
  const std::wstring keyName = Widen(klv::KeyCodeToName(klv::HotkeyKeyCode(packed)).c_str());
  SetWindowTextW(layout_.Control(form2::kKeyBox), keyName.c_str());
}

void TForm2::EnableClick() { ApplyEnableState(); }

void TForm2::EnableKeyPress() { ApplyEnableState(); }

void TForm2::AssignClick() {
  if (!Checked(form2::kEnableBox)) {
    ClearRow(row_);
    FormClose();
    return;
  }
  const std::wstring keyText = WindowText(layout_.Control(form2::kKeyBox));
  if (keyText.empty()) return;
  const int keyCode = klv::KeyNameToCode(ToAscii(keyText));
  if (keyCode == 0) {
    // A modifier-only registration would never fire as the user expects.
    const std::wstring text = L"Unknown key: " + keyText;
    MessageBoxW(Window(), text.c_str(), L"Error", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const klv::PackedHotkey packed =
      klv::PackHotkey(static_cast<uint16_t>(keyCode), Checked(form2::kAltBox), Checked(form2::kCtrlBox),
                      Checked(form2::kShiftBox), Checked(form2::kWinBox));
  if (AssignRowHotkey(row_, packed)) FormClose();
  // Refused: the error box has been shown and the row cleared; stay open.
}

void TForm2::FormClose() { closed_ = true; }

bool AssignHotkey(klv::HotkeyRow& row, HWND owner) {
  {
    ScopedVisualStyles styles;
    TForm2 form(row, owner);
    form.ShowModal();
  }
  // From the row as it stands now, whatever ran while the dialog was up.
  return RowCombination(row) != 0;
}
