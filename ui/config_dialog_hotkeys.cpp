// TForm1's hot keys group: the list's rows as the table holds them, the
// reactions to its check marks and double clicks, and the box that switches
// the hotkeys on and off.
#include "ui/config_dialog.h"

#include <string>

#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/plugin_state.h"
#include "ui/assign_dialog.h"

using namespace form1;

void TForm1::ShowHotkeyRow(const klv::HotkeyRow& row) {
  const std::string caption = row.action.caption;
  hotkeyList_.SetCaption(row.position, RowWaiting(row) ? (caption + " (in use)").c_str() : caption.c_str());
  hotkeyList_.SetChecked(row.position, RowCombination(row) != 0);
}

void TForm1::ShowHotkeyRows() {
  for (const klv::HotkeyRow& row : gHotkeyTable) ShowHotkeyRow(row);
}

void TForm1::HotkeysEnabledClick() {
  const bool enabled = Checked(kHotkeysBox);
  layout_.SetEnabled(kHotkeysGroup, enabled);
  layout_.SetEnabled(kHotkeyList, enabled);
  SetHotkeysEnabled(enabled);
  // Unless a quit inside the refusals' box closed the dialog.
  if (Window() != nullptr) ShowHotkeyRows();
}

void TForm1::HotkeyMarksChange() { ApplyListCheckMarks(); }

void TForm1::HotkeyListDblClick() { EditSelectedHotkeys(); }

bool TForm1::EditHotkey(klv::HotkeyRow& row) {
  const bool result = AssignHotkey(row, Window());
  if (Window() != nullptr) ShowHotkeyRow(row);
  return result;
}

void TForm1::ApplyListCheckMarks() {
  for (klv::HotkeyRow& row : gHotkeyTable) {
    if (Window() == nullptr) return;
    if (!HotkeyMarked(row.position)) {
      ClearRow(row);
      ShowHotkeyRow(row);
    } else if (RowCombination(row) == 0) {
      EditHotkey(row);
    }
  }
}

void TForm1::EditSelectedHotkeys() {
  for (klv::HotkeyRow& row : gHotkeyTable) {
    if (Window() == nullptr) return;
    if (HotkeySelected(row.position)) EditHotkey(row);
  }
}
