// TForm2: the modal dialog that assigns a key combination to one row of
// the hotkey table.
#pragma once

#include <windows.h>

#include "core/hotkeys/hotkey_actions.h"
#include "ui/assign_dialog_ids.h"
#include "ui/form_frame.h"

class TForm2 : public FormFrame {
 public:
  // The dialog for one row of the hotkey table, owned by owner.
  TForm2(klv::HotkeyRow& row, HWND owner);

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

  klv::HotkeyRow& row_;
  HWND owner_;
  bool closed_ = false;
};

// Runs the assignment dialog for the row, owned by owner (or none). True
// when the row holds a combination afterwards.
bool AssignHotkey(klv::HotkeyRow& row, HWND owner);
