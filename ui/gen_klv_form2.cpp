#include "ui/gen_klv_form2.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "core/hotkey_actions.h"
#include "core/key_names.h"
#include "plugin/hotkey_registration.h"
#include "plugin/module_hold.h"
#include "plugin/plugin_state.h"
#include "ui/config_dialog.h"
#include "ui/form_window.h"
#include "ui/gen_klv_form1.h"
#include "plugin/this_module.h"
#include "ui/ui_module.h"

namespace {

using K = ControlKind;

int gCurrentEntry = 1;

// One row, as the user reads it: Enable, the four modifiers, the key, Assign.
// "Ctrl" is 40 wide, not 41, so that it ends where "Shift" begins.
// clang-format off
const ControlRow kForm2Controls[] = {
    // kind          id                 parent x    y  w   h   caption   hint     tab
    {K::kCheckBox,   form2::kCheckBox5, 0,     8,   8, 57, 17, "Enable", nullptr, 5},
    {K::kCheckBox,   form2::kCheckBox1, 0,     80,  8, 33, 17, "Alt",    nullptr, 0},
    {K::kCheckBox,   form2::kCheckBox2, 0,     120, 8, 40, 17, "Ctrl",   nullptr, 1},
    {K::kCheckBox,   form2::kCheckBox3, 0,     160, 8, 41, 17, "Shift",  nullptr, 2},
    {K::kCheckBox,   form2::kCheckBox4, 0,     208, 8, 41, 17, "Win",    nullptr, 3},
    {K::kComboBox,   form2::kComboBox1, 0,     256, 8, 81, 21, "",       nullptr, 4},
    {K::kPushButton, form2::kButton1,   0,     344, 8, 75, 21, "Assign", nullptr, 6},
};
// clang-format on

// "Установка горячей клавиши", kept as UTF-16 so it shows on any code page.
constexpr wchar_t kCaption[] =
    L"\u0423\u0441\u0442\u0430\u043d\u043e\u0432\u043a\u0430 \u0433\u043e\u0440\u044f\u0447\u0435\u0439 "
    L"\u043a\u043b\u0430\u0432\u0438\u0448\u0438";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 427;
constexpr int kClientHeight = 37;
constexpr int kLeft = -2;
constexpr int kTop = 27;

const int kModifierBoxes[] = {form2::kCheckBox1, form2::kCheckBox2, form2::kCheckBox3, form2::kCheckBox4};

}  // namespace

int CurrentHotkeyEntry() { return gCurrentEntry; }

TForm2::TForm2(HWND owner) : owner_(owner) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof(cls);
  cls.lpfnWndProc = FormWindowProc<TForm2, WideWindowCalls>;
  cls.hInstance = ThisModule();
  cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = form2::kClassName;
  RegisterClassExW(&cls);  // fails harmlessly when a second dialog runs nested

  const RECT rect = FormWindowRect(kLeft, kTop, kClientWidth, kClientHeight, kStyle, kExStyle);
  CreateWindowExW(kExStyle, form2::kClassName, kCaption, kStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, owner, nullptr, ThisModule(), this);
}

TForm2::~TForm2() {
  if (window_ != nullptr) DestroyWindow(window_);
  // A library that is unloaded must not leave its class behind.
  UnregisterClassW(form2::kClassName, ThisModule());
}

void TForm2::CreateControls() {
  layout_.Build(window_, kForm2Controls, std::size(kForm2Controls));
  HWND keyBox = layout_.Control(form2::kComboBox1);
  int widest = 0;
  for (const klv::KeyName& key : klv::KeyNameTable) {
    SendMessageA(keyBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key.name));
    widest = std::max(widest, layout_.TextWidth(key.name));
  }
  // The box is narrow; its list opens wide enough to show every name whole.
  const int listWidth = widest + GetSystemMetrics(SM_CXVSCROLL) + layout_.Scale(8);
  SendMessageA(keyBox, CB_SETDROPPEDWIDTH, listWidth, 0);
  SendMessageA(keyBox, CB_SETITEMHEIGHT, 0, layout_.Scale(13));
  SetWindowSubclass(layout_.Control(form2::kCheckBox5), EnableBoxProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

bool TForm2::ShowModal() {
  if (window_ == nullptr) return HotkeyEntry(gCurrentEntry).packed != 0;
  const bool ownerWasEnabled = owner_ != nullptr && IsWindowEnabled(owner_);
  if (owner_ != nullptr) EnableWindow(owner_, FALSE);
  FormShow();
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(GetNextDlgTabItem(window_, nullptr, FALSE));

  MSG msg;
  while (!closed_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the host's loop must see it too
      FormClose();
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageW(window_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // Re-enable before hiding, so that activation returns to the owner.
  if (ownerWasEnabled && IsWindow(owner_)) EnableWindow(owner_, TRUE);
  if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
  // Closed while a refusal's box was up, the close came before the box's
  // return cleared the entry: the result is the entry as it ends.
  result_ = HotkeyEntry(gCurrentEntry).packed != 0;
  return result_;
}

LRESULT CALLBACK TForm2::EnableBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) noexcept {
  const CallInProgress call;
  try {
    if (message == WM_CHAR) reinterpret_cast<TForm2*>(data)->CheckBox5KeyPress();
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, EnableBoxProc, 0);
  } catch (...) {
  }
  return DefSubclassProc(box, message, wParam, lParam);
}

LRESULT TForm2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_COMMAND:
      // Esc, as IsDialogMessage reports it: the close box's way out.
      if (LOWORD(wParam) == IDCANCEL) SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
      if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == form2::kCheckBox5) CheckBox5Click();
        if (LOWORD(wParam) == form2::kButton1) Button1Click();
      }
      return 0;
    case WM_CLOSE:
      FormClose();
      return 0;
    case WM_ACTIVATE:
      KeepFocusAcrossActivation(window_, wParam, lastFocus_);
      return 0;
    case DM_GETDEFID:
      return FocusedDefaultButton(window_);
    case WM_NEXTDLGCTL:
      MoveDialogFocus(window_, wParam, lParam);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

bool TForm2::Checked(int id) const {
  return SendMessageA(layout_.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TForm2::SetChecked(int id, bool checked) {
  SendMessageA(layout_.Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TForm2::ApplyEnableState() {
  const bool enabled = Checked(form2::kCheckBox5);
  for (int id : kModifierBoxes) layout_.SetEnabled(id, enabled);
  layout_.SetEnabled(form2::kComboBox1, enabled);
}

void TForm2::FormShow() {
  const klv::keystype& entry = HotkeyEntry(gCurrentEntry);
  const uint16_t modifiers = klv::HotkeyModifiers(entry.packed);
  SetChecked(form2::kCheckBox5, entry.packed != 0);
  ApplyEnableState();
  if (entry.packed != 0) {
    SetChecked(form2::kCheckBox1, (modifiers & klv::kModAlt) != 0);
    SetChecked(form2::kCheckBox2, (modifiers & klv::kModCtrl) != 0);
    SetChecked(form2::kCheckBox3, (modifiers & klv::kModShift) != 0);
    SetChecked(form2::kCheckBox4, (modifiers & klv::kModWin) != 0);
  }
  SetWindowTextA(layout_.Control(form2::kComboBox1),
                 klv::KeyCodeToName(klv::HotkeyKeyCode(entry.packed)).c_str());
}

void TForm2::CheckBox5Click() { ApplyEnableState(); }

void TForm2::CheckBox5KeyPress() { ApplyEnableState(); }

void TForm2::Button1Click() {
  klv::keystype& entry = HotkeyEntry(gCurrentEntry);
  if (!Checked(form2::kCheckBox5)) {
    ClearEntry(gCurrentEntry);
    FormClose();
    return;
  }
  const std::string keyText = WindowText(layout_.Control(form2::kComboBox1));
  if (keyText.empty()) return;
  const int keyCode = klv::KeyNameToCode(keyText);
  if (keyCode == 0) {
    // A modifier-only registration would never fire as the user expects.
    const std::string text = "Unknown key: " + keyText;
    MessageBoxA(window_, text.c_str(), "Error", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  entry.packed =
      klv::PackHotkey(static_cast<uint16_t>(keyCode), Checked(form2::kCheckBox1), Checked(form2::kCheckBox2),
                      Checked(form2::kCheckBox3), Checked(form2::kCheckBox4));
  if (RegisterEntryHotkey(entry)) FormClose();
  // Refused: the error box has been shown and the entry cleared; stay open.
}

void TForm2::FormClose() {
  result_ = HotkeyEntry(gCurrentEntry).packed != 0;
  closed_ = true;
}

bool EditHotkey(int n) {
  if (n < 1 || n > klv::kHotkeyCount) return false;
  gCurrentEntry = n;
  {
    ScopedVisualStyles styles;
    TForm2 form(ConfigDialogWindow());
    form.ShowModal();
  }
  // From the entry as it stands now, whatever ran while the dialog was up.
  const bool result = HotkeyEntry(n).packed != 0;
  if (TForm1* config = TForm1::Current()) config->SetHotkeyMark(n - 1, result);
  return result;
}

void ApplyListCheckMarks() {
  for (int row = 0; row < klv::kHotkeyCount; ++row) {
    TForm1* config = TForm1::Current();  // a nested dialog may have closed it
    if (config == nullptr) return;
    const int n = row + 1;
    if (!config->HotkeyMarked(row)) {
      ClearEntry(n);
    } else if (HotkeyEntry(n).packed == 0) {
      EditHotkey(n);
    }
  }
}

void EditSelectedHotkeys() {
  for (int row = 0; row < klv::kHotkeyCount; ++row) {
    TForm1* config = TForm1::Current();
    if (config == nullptr) return;
    if (config->HotkeySelected(row)) EditHotkey(row + 1);
  }
}
