// TForm2: the modal dialog that assigns a key combination to one entry of
// the hotkey table.
#pragma once

#include <windows.h>

#include "ui/form_frame.h"

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

class TForm2 : public FormFrame {
 public:
  // The dialog for entry n (1..16) of the hotkey table, owned by owner.
  TForm2(int n, HWND owner);

  // Shows the dialog and runs it until it closes, with the owner disabled
  // meanwhile.
  void ShowModal();

 private:
  void CreateControls() override;
  void OnCommand(int id, int code) override;
  void OnClose() override { FormClose(); }
  static LRESULT CALLBACK EnableBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data) noexcept;

  void FormShow();
  void EnableClick();
  void EnableKeyPress();
  void AssignClick();
  void FormClose();

  void ApplyEnableState();  // the modifier boxes and key box follow "Enable"

  int entry_;
  HWND owner_;
  bool closed_ = false;
};

// Runs the assignment dialog for entry n = 1..16, owned by owner (or none).
// True when the entry holds a combination afterwards.
bool AssignHotkey(int n, HWND owner);
