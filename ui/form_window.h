// The frame both forms' window procedures share: the form is found through
// the window's user data, set at WM_NCCREATE and cleared at WM_NCDESTROY, and
// nothing thrown escapes into the host's message loop. While it runs, a quit
// and unload from a nested message loop cannot unmap it.
#pragma once

#include <windows.h>

#include "plugin/module_hold.h"

struct AnsiWindowCalls {
  using CreateStruct = CREATESTRUCTA;
  static LONG_PTR UserData(HWND window) { return GetWindowLongPtrA(window, GWLP_USERDATA); }
  static void SetUserData(HWND window, LONG_PTR data) { SetWindowLongPtrA(window, GWLP_USERDATA, data); }
  static LRESULT Default(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
};

struct WideWindowCalls {
  using CreateStruct = CREATESTRUCTW;
  static LONG_PTR UserData(HWND window) { return GetWindowLongPtrW(window, GWLP_USERDATA); }
  static void SetUserData(HWND window, LONG_PTR data) { SetWindowLongPtrW(window, GWLP_USERDATA, data); }
  static LRESULT Default(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
};

// Form gives Attach(window) at creation, Detach() once the window is gone and
// Dispatch(message, wParam, lParam) for everything between.
template <typename Form, typename Calls>
LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const CallInProgress call;
  try {
    if (message == WM_NCCREATE) {
      auto* form =
          static_cast<Form*>(reinterpret_cast<typename Calls::CreateStruct*>(lParam)->lpCreateParams);
      form->Attach(window);
      Calls::SetUserData(window, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(Calls::UserData(window));
    if (form == nullptr) return Calls::Default(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      Calls::SetUserData(window, 0);
      form->Detach();
      return Calls::Default(window, message, wParam, lParam);
    }
    return form->Dispatch(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}
