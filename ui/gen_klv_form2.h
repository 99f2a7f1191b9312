// TForm2: the modal dialog that assigns a key combination to one entry of
// the hotkey table.
#pragma once

#include <windows.h>

#include "ui/form_layout.h"

namespace form2 {
enum ControlId : int {
  kCheckBox1 = 201,  // "Alt"
  kCheckBox2,        // "Ctrl"
  kCheckBox3,        // "Shift"
  kCheckBox4,        // "Win"
  kCheckBox5,        // "Enable"
  kComboBox1,        // key box
  kButton1,          // "Assign"
};
constexpr wchar_t kClassName[] = L"TForm2";
}  // namespace form2

class TForm2 {
 public:
  explicit TForm2(HWND owner);
  ~TForm2();
  TForm2(const TForm2&) = delete;
  TForm2& operator=(const TForm2&) = delete;

  // Shows the dialog for the current entry and runs it until it closes,
  // with the owner disabled meanwhile. The result: the entry holds a combination.
  bool ShowModal();
  HWND Window() const { return window_; }

 private:
  template <typename Form, typename Calls>
  friend LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void Attach(HWND window) { window_ = window; }
  void Detach() {
    window_ = nullptr;
    closed_ = true;
  }
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    return HandleMessage(message, wParam, lParam);
  }
  static LRESULT CALLBACK EnableBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();

  void FormShow();
  void CheckBox5Click();
  void CheckBox5KeyPress();
  void Button1Click();
  void FormClose();

  bool Checked(int id) const;
  void SetChecked(int id, bool checked);
  void ApplyEnableState();  // the modifier boxes and key box follow "Enable"

  HWND owner_;
  HWND window_ = nullptr;
  HWND lastFocus_ = nullptr;
  FormLayout layout_;
  bool closed_ = false;
  bool result_ = false;
};

// The entry index 1..15 the dialog edits.
int CurrentHotkeyEntry();
