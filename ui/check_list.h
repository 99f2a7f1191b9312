// A report-view list with one check mark per row, as the hotkey list uses it.
// Check marks set from code are told apart from those the user changes.
#pragma once

// clang-format off
#include <windows.h>  // before the other Windows headers
#include <commctrl.h>
// clang-format on

class CheckList {
 public:
  CheckList() = default;
  CheckList(const CheckList&) = delete;
  CheckList& operator=(const CheckList&) = delete;

  // Sets up an empty list view: one full-width column, check boxes drawn at
  // rowHeight pixels so the rows keep that height.
  void Attach(HWND list, int rowHeight);
  void AddRow(const char* caption);
  void SetCaption(int row, const char* caption);

  int Count() const;
  bool Checked(int row) const;
  void SetChecked(int row, bool checked);  // from code: IsUserCheckChange says no
  bool Selected(int row) const;

  // True for an LVN_ITEMCHANGED that moved a row's check mark and did not
  // come from SetChecked.
  bool IsUserCheckChange(const NMLISTVIEW& change) const;

 private:
  HWND list_ = nullptr;
  bool settingFromCode_ = false;
};
