// TForm1: the configuration dialog. Every control acts on the shared settings
// at once; "Exit" also writes them to the settings file.
#pragma once

#include <windows.h>

#include <array>

#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/settings.h"
#include "ui/check_list.h"
#include "ui/config_dialog_controls.h"
#include "ui/form_frame.h"
#include "win32/win_handles.h"

class TForm1 : public FormFrame {
 public:
  TForm1();

  // Fills every control from the settings and shows the form, the focus on
  // its first control; false when it was closed meanwhile (a box of the filling).
  bool Show();

  // The hotkey list.
  bool HotkeyMarked(int row) const { return hotkeyList_.Checked(row); }
  bool HotkeySelected(int row) const { return hotkeyList_.Selected(row); }

 private:
  void CreateControls() override;
  void OnCommand(int id, int code) override;
  void OnClose() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Every message counts as a running handler, under the DLL's visual styles.
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnNotify(const NMHDR& header);

  void FormShow();
  void HotkeysEnabledClick();
  void HotkeyMarksChange();
  void HotkeyListDblClick();
  void OsdEnabledClick();
  void OsdPositionClick(int item);
  void OsdDisplayTimeChange();
  void OsdMonitorChange();
  void OsdOptionClick(int box, bool klv::Settings::*flag);  // the box's flag follows its mark
  void StepChange(int id);
  void SelectColorClick();
  void SelectFontClick();
  void ActiveTransparencyClick();
  void InactiveTransparencyClick();
  void AlphaSliderChange(int id);
  void PlayOnStartClick();
  void RememberPositionClick();
  void ExitClick();

  // The transparency boxes and groups as the settings have them under a
  // classic skin; disabled, with the note, while a modern skin sets the opacity.
  void ShowTransparencyGroups();
  void ShowOsdPosition(int position);  // checks the item, or none for codes past 8
  void ShowSteps();
  // Rows shown here do not run the list's check-mark reaction: marked when
  // the row holds a combination, "(in use)" while it waits for its key.
  void ShowHotkeyRow(const klv::HotkeyRow& row);
  void ShowHotkeyRows();

  // The hotkey list's reactions. Each stops once the form has closed (a box
  // or dialog of theirs lets the host quit meanwhile). EditHotkey runs the
  // assignment dialog for the row and sets its mark from the result: true
  // when the row holds a combination afterwards.
  bool EditHotkey(klv::HotkeyRow& row);
  void ApplyListCheckMarks();
  void EditSelectedHotkeys();

  CheckList hotkeyList_;
  UniqueBitmap logo_;
  UniqueBitmap icon_;
  std::array<int, 6> sliderShown_{};  // the percentage each slider last stood at
  bool filling_ = false;              // FormShow is setting controls from the settings
  bool checkMarksPending_ = false;    // a user's check-mark change waits to be applied
};

// Opens the configuration dialog modeless and without owner, or brings the
// open one to the front.
void OpenConfigDialog();
