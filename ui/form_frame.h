// What both forms share: their window class and window, found again by the
// window procedure through the window's user data; the keyboard rules of a
// dialog (Tab, Enter on the focused push button, Esc as the close box); the
// control that held the focus when the user left the form; its check boxes.
#pragma once

#include <windows.h>

#include "ui/form_layout.h"
#include "win32/win_handles.h"

struct FormPlacement {
  const wchar_t* className;
  const wchar_t* caption;
  DWORD style;
  DWORD exStyle;
  int left, top;                  // on the screen
  int clientWidth, clientHeight;  // at 96 DPI
};

class FormFrame {
 public:
  FormFrame(const FormFrame&) = delete;
  FormFrame& operator=(const FormFrame&) = delete;

  // Destroys a window still open without running the form's handlers; then
  // the class goes: a library that is unloaded must not leave it behind.
  virtual ~FormFrame();

  HWND Window() const { return window_; }  // null once the window has gone

 protected:
  explicit FormFrame(const FormPlacement& placement) : placement_(placement) {}

  // Registers the class and creates the window, whose WM_CREATE builds the
  // controls. The form's constructor calls it last, once the form is whole.
  void CreateFormWindow(HWND owner);

  virtual void CreateControls() = 0;
  virtual void OnCommand(int id, int code) = 0;  // every WM_COMMAND but Esc's
  virtual void OnClose() = 0;                    // the close box, Alt+F4 and Esc
  // A message of the form's own; false leaves it to the frame.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The window procedure's way in; a form that wraps every message overrides it.
  virtual LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Shows the form in front, the focus on its first control.
  void ShowInFront();

  bool Checked(int id) const;
  void SetChecked(int id, bool checked);

  FormLayout layout_;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  FormPlacement placement_;
  UniqueWindowClass windowClass_;  // unregistered once the destructor has destroyed the window
  HWND window_ = nullptr;
  HWND lastFocus_ = nullptr;
};
