#include "tests/wine/dialog_kit.h"

#include <commctrl.h>

#include "plugin/host/window_hooks.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/plugin_state.h"
#include "plugin/settings/settings_file.h"
#include "tests/wine/plugin_kit.h"
#include "ui/assign_dialog.h"
#include "ui/config_dialog.h"
#include "ui/config_form_holder.h"

// ---- The fixture ----

void DialogTest::SetUp() {
  FlushPostedMessages();  // the host's windows shown, as the player shows them once it runs
  ResetPluginState(host.main);
  UseSettingsFile(std::make_unique<SettingsFile>(install.IniPath()));
}

void DialogTest::TearDown() {
  CloseConfigDialog();
  RemoveWindowHooks();
  UnregisterAllHotkeys();
  UseSettingsFile(nullptr);
  FlushPostedMessages();
  ResetGlobalAtoms();
}

HWND DialogTest::Open() {
  OpenConfigDialog();
  FlushPostedMessages();
  return ConfigDialogWindow();
}

HWND DialogTest::Item(int id) { return GetDlgItem(ConfigDialogWindow(), id); }

void DialogTest::Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }

HWND DialogTest::List() { return Item(form1::kHotkeyList); }

bool DialogTest::RowMarked(int row) { return ::RowMarked(List(), row); }

void DialogTest::UserMarksRow(int row, bool marked) { MarkListRow(List(), row, marked); }

void DialogTest::MoveSlider(int id, int position) {
  SendMessageA(Item(id), TBM_SETPOS, TRUE, position);
  SendMessageA(ConfigDialogWindow(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(Item(id)));
  SendMessageA(ConfigDialogWindow(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
               reinterpret_cast<LPARAM>(Item(id)));
}

void DialogTest::TypeInEdit1(const char* text) {
  SendMessageA(Item(form1::kDisplayTimeEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void DialogTest::Register(int n, klv::PackedHotkey packed) {
  gSettings.hotkeys[n] = packed;
  ASSERT_TRUE(RegisterRowHotkey(gHotkeyTable[n]));
}
