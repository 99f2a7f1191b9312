#include "ui/form_frame.h"

#include "win32/module_hold.h"
#include "win32/this_module.h"

namespace {

// WM_NEXTDLGCTL of a form that is not a system dialog: IsDialogMessage asks
// the window itself to move the focus on Tab and Shift+Tab.
void MoveDialogFocus(HWND form, WPARAM wParam, LPARAM lParam) {
  HWND next = lParam != 0 ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(form, GetFocus(), wParam != 0);
  if (next == nullptr) return;
  SetFocus(next);
  // Text reached by Tab is selected whole, ready to be typed over.
  HWND focused = GetFocus();
  if (focused != nullptr && (SendMessageW(focused, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0)
    SendMessageW(focused, EM_SETSEL, 0, -1);
}

// DM_GETDEFID of a form: the push button that has the focus is the default
// one, and where none has it there is none (Enter then does nothing).
LRESULT FocusedDefaultButton(HWND form) {
  HWND focus = GetFocus();
  if (focus == nullptr || GetParent(focus) != form) return 0;
  if ((SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) == 0) return 0;
  return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
}

// WM_ACTIVATE of a form: keeps the focused control across a switch to another window.
void KeepFocusAcrossActivation(HWND form, WPARAM wParam, HWND& lastFocus) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    lastFocus = GetFocus();
  } else if (lastFocus != nullptr && IsChild(form, lastFocus)) {
    SetFocus(lastFocus);
  }
}

}  // namespace

FormFrame::~FormFrame() {
  if (window_ != nullptr) {
    // The form's handlers are gone already; the window's last messages go by them.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

void FormFrame::CreateFormWindow(HWND owner) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof(cls);
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = ThisModule();
  cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = placement_.className;
  windowClass_ = UniqueWindowClass(cls);

  const FormPlacement& p = placement_;
  const RECT rect = FormWindowRect(p.left, p.top, p.clientWidth, p.clientHeight, p.style, p.exStyle);
  CreateWindowExW(p.exStyle, p.className, p.caption, p.style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, owner, nullptr, ThisModule(), this);
}

bool FormFrame::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT FormFrame::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  return HandleMessage(message, wParam, lParam);
}

LRESULT FormFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        // Esc, as IsDialogMessage reports it: the close box's way out.
        SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        OnCommand(LOWORD(wParam), HIWORD(wParam));
      }
      return 0;
    case WM_CLOSE:
      OnClose();
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

void FormFrame::ShowInFront() {
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(GetNextDlgTabItem(window_, nullptr, FALSE));
}

bool FormFrame::Checked(int id) const {
  return SendMessageW(layout_.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormFrame::SetChecked(int id, bool checked) {
  SendMessageW(layout_.Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Nothing thrown escapes into the host's message loop, and while a message
// is handled a quit and unload from a nested loop cannot unmap the code.
LRESULT CALLBACK FormFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const CallInProgress call;
  try {
    if (message == WM_NCCREATE) {
      auto* created = static_cast<FormFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      created->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* form = reinterpret_cast<FormFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      form->window_ = nullptr;
      return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->Dispatch(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}
