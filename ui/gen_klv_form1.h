// TForm1: the configuration dialog. Every control acts on the shared settings
// at once; "Exit" also writes them to the settings file.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "plugin/win_handles.h"
#include "ui/check_list.h"
#include "ui/form_layout.h"

namespace form1 {
enum ControlId : int {
  kButton1 = 101,  // "Exit"
  kGroupBox1,      // transparency, active
  kLabel1,
  kLabel2,
  kLabel3,
  kTrackBar1,  // tags 1..3: main, playlist, equalizer, active levels
  kTrackBar2,
  kTrackBar3,
  kGroupBox2,  // transparency, inactive
  kLabel4,
  kLabel5,
  kLabel6,
  kTrackBar4,  // tags 4..6: the inactive levels
  kTrackBar5,
  kTrackBar6,
  kCheckListBox1,
  kGroupBox4,  // hot keys
  kGroupBox3,  // OSD
  kRadioGroup1,
  kRadioItem0,  // items 0..8 follow: column = i div 3, row = i mod 3
  kRadioItem8 = kRadioItem0 + 8,
  kGroupBox5,
  kEdit1,
  kLabel8,
  kButton2,    // "Select Color"
  kButton3,    // "Select Font"
  kGroupBox6,  // About
  kImage1,     // word mark
  kImage2,     // icon
  kLabel7,     // "Version:"
  kLabel9,     // version number
  kLabel10,    // credit lines
  kLabel11,
  kCheckBox1,  // remember position
  kCheckBox2,  // play on start
  kCheckBox3,  // active transparency on/off
  kCheckBox4,  // inactive transparency on/off
  kCheckBox5,  // OSD on/off
  kCheckBox6,  // hotkeys on/off
  kLabel12,    // web address
};
constexpr char kClassName[] = "TForm1";
}  // namespace form1

class TForm1 {
 public:
  TForm1();
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  static TForm1* Current();  // the open dialog, or null
  HWND Window() const { return window_; }

  // The hotkey list as the assignment dialog sees it. Marks set here do not
  // run the list's check-mark reaction.
  bool HotkeyMarked(int row) const { return hotkeyList_.Checked(row); }
  void SetHotkeyMark(int row, bool checked) { hotkeyList_.SetChecked(row, checked); }
  bool HotkeySelected(int row) const { return hotkeyList_.Selected(row); }

 private:
  friend void OpenConfigDialog();
  friend void CloseConfigDialog();

  // Keeps the dialog alive while one of its handlers runs: a message box there
  // lets the host close it (quit) or ask for another. The last handler to
  // return frees a dialog that was closed meanwhile.
  class InUse {
   public:
    explicit InUse(TForm1& form) : form_(form) { ++form_.depth_; }
    ~InUse();
    InUse(const InUse&) = delete;
    InUse& operator=(const InUse&) = delete;

   private:
    TForm1& form_;
  };
  // Destroys the window at once; frees the dialog unless a handler still runs.
  static void Close(TForm1* form);
  // Frees it, whether it is the open dialog or a closed one.
  static void Free(TForm1* form);
  // The open dialog's window has gone: it stops being the open dialog.
  static void RetireCurrent();

  template <typename Form, typename Calls>
  friend LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void Attach(HWND window) { window_ = window; }
  void Detach() { window_ = nullptr; }
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void OnCommand(int id, int code);
  void OnNotify(const NMHDR& header);

  void FormShow();
  void CheckBox6Click();
  void CheckListBox1ClickCheck();
  void CheckListBox1DblClick();
  void CheckBox5Click();
  void RadioGroup1Click(int item);
  void Edit1Change();
  void Button2Click();
  void Button3Click();
  void CheckBox3Click();
  void CheckBox4Click();
  void TrackBarChange(int id);
  void CheckBox2Click();
  void CheckBox1Click();
  void Button1Click();
  void ScheduleRelease();  // hides the dialog and frees it once the current message is done

  bool Checked(int id) const;
  void SetChecked(int id, bool checked);
  void ShowOsdPosition(int position);  // checks the item, or none for codes past 8
  void FillHotkeyMarks();

  HWND window_ = nullptr;
  HWND lastFocus_ = nullptr;
  FormLayout layout_;
  CheckList hotkeyList_;
  UniqueBitmap logo_;
  UniqueBitmap icon_;
  std::array<int, 6> sliderShown_{};  // the percentage each slider last stood at
  bool filling_ = false;              // FormShow is setting controls from the settings
  bool closing_ = false;              // hidden, its release posted
  bool checkMarksPending_ = false;    // a user's check-mark change waits to be applied
  int depth_ = 0;                     // handlers running, nested
};
