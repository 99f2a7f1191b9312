// Enter and Esc in both dialogs, pressed through the system's input queue on
// the focused control as a user presses them. The assignment dialog runs its
// modal loop in this thread, so a second thread plays the user there.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/plugin_state.h"
#include "testkit/test_kit.h"
#include "testkit/win32_thread.h"
#include "tests/wine/dialog_kit.h"
#include "ui/assign_dialog.h"
#include "ui/config_dialog.h"
#include "ui/config_form_holder.h"

namespace {

using namespace dialog_kit;

const klv::PackedHotkey kCtrlP = 5242882;  // 'P' (0x50) in the high word, Ctrl (2) in the low word

void Press(WORD key, bool shift = false) { PressKeys(klv::PackHotkey(key, false, false, shift, false)); }

bool IsDefaultButton(HWND button) {
  return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// ---- The configuration dialog ----

class ConfigKeyboardTest : public DialogTest {
 protected:
  // Opens the dialog in front, with the focus on the control as a click would put it.
  HWND OpenFocused(int id) {
    HWND dialog = Open();
    if (dialog == nullptr) return nullptr;
    SetFocus(Item(id));
    FlushPostedMessages();
    return GetForegroundWindow() == dialog && GetFocus() == Item(id) ? dialog : nullptr;
  }
};

TEST_F(ConfigKeyboardTest, EnterOnExitClosesTheDialogAndWritesTheFile) {
  gSettings.osdDisplayTime = 1234;
  ASSERT_NE(Open(), nullptr);
  ASSERT_EQ(FocusedControl(ConfigDialogWindow()), form1::kExitButton);  // where the dialog opens
  EXPECT_TRUE(IsDefaultButton(Item(form1::kExitButton)));
  Press(VK_RETURN);
  EXPECT_TRUE(WaitUntil([] { return ConfigDialogWindow() == nullptr; }));
  EXPECT_EQ(install.IniValue("OSD", "OSDDisplayTime"), "1234");
}

TEST_F(ConfigKeyboardTest, EnterOnSelectColorOrSelectFontOpensItsPicker) {
  for (int button : {form1::kSelectColorButton, form1::kSelectFontButton}) {
    SCOPED_TRACE(button);
    gSettings.osdEnabled = true;
    ASSERT_NE(OpenFocused(button), nullptr);
    EXPECT_TRUE(IsDefaultButton(Item(button)));
    EXPECT_FALSE(IsDefaultButton(Item(form1::kExitButton)));  // the default follows the focus
    {
      DialogDriver picker([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
      Press(VK_RETURN);
      EXPECT_TRUE(WaitUntil([&] { return picker.Found() && FindVisibleDialog() == nullptr; }));
    }
    EXPECT_NE(ConfigDialogWindow(), nullptr);
    EXPECT_EQ(install.ReadIni(), "");
    CloseConfigDialog();
    FlushPostedMessages();
  }
}

TEST_F(ConfigKeyboardTest, EnterWhereNoPushButtonHasTheFocusDoesNothing) {
  struct Case {
    int focus;
    WORD marker;  // a key whose effect shows that Enter, pressed before it, has been handled
    std::function<bool()> markerSeen;
  } const cases[] = {
      {form1::kPlayOnStartBox, VK_SPACE, [] { return IsChecked(Item(form1::kPlayOnStartBox)); }},
      {form1::kDisplayTimeEdit, '5', [] { return WindowTextOf(Item(form1::kDisplayTimeEdit)).size() == 5; }},
      {form1::kOsdMonitorList, VK_DOWN,
       [] { return gSettings.osdMonitor == 1; }},  // the next monitor at once
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.focus);
    gSettings.osdEnabled = true;
    ASSERT_NE(OpenFocused(c.focus), nullptr);
    Press(VK_RETURN);
    Press(c.marker);
    ASSERT_TRUE(WaitUntil(c.markerSeen));
    EXPECT_NE(ConfigDialogWindow(), nullptr);
    EXPECT_EQ(FindVisibleDialog(), nullptr);  // no picker either
    for (int button : {form1::kExitButton, form1::kSelectColorButton, form1::kSelectFontButton})
      EXPECT_FALSE(IsDefaultButton(Item(button))) << button;
    EXPECT_EQ(install.ReadIni(), "");
    CloseConfigDialog();
    FlushPostedMessages();
  }
}

TEST_F(ConfigKeyboardTest, EscClosesLikeTheCloseBoxWhereverTheFocusIs) {
  for (int focus :
       {form1::kRememberPositionBox, form1::kExitButton, form1::kDisplayTimeEdit, form1::kOsdMonitorList}) {
    SCOPED_TRACE(focus);
    gSettings.rememberPosition = false;
    gSettings.osdEnabled = true;
    ASSERT_NE(OpenFocused(form1::kRememberPositionBox), nullptr);
    Press(VK_SPACE);  // a change that stays in memory
    ASSERT_TRUE(WaitUntil([] { return gSettings.rememberPosition; }));
    SetFocus(Item(focus));
    Press(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([] { return ConfigDialogWindow() == nullptr; }));
    EXPECT_TRUE(gSettings.rememberPosition);
    EXPECT_EQ(install.ReadIni(), "");  // not "Exit": nothing written
    CloseConfigDialog();
    FlushPostedMessages();
  }
}

TEST_F(ConfigKeyboardTest, EscWithTheMonitorListOpenClosesTheListFirst) {
  gSettings.osdEnabled = true;
  ASSERT_NE(OpenFocused(form1::kOsdMonitorList), nullptr);
  auto dropped = [] { return SendMessageW(Item(form1::kOsdMonitorList), CB_GETDROPPEDSTATE, 0, 0) != 0; };
  Press(VK_F4);
  ASSERT_TRUE(WaitUntil(dropped));
  Press(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !dropped(); }));
  EXPECT_NE(ConfigDialogWindow(), nullptr);
  Press(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([] { return ConfigDialogWindow() == nullptr; }));
}

// ---- The assignment dialog ----

// The user at the keyboard while this thread sits in the dialog's modal loop:
// presses keys and waits, with a deadline, for what they do. What it saw is
// checked once the dialog has returned.
class KeyboardUser {
 public:
  explicit KeyboardUser(std::function<void(KeyboardUser&)> script)
      : uiThread_(GetCurrentThreadId()), thread_([this, script] { Run(script); }) {}
  ~KeyboardUser() { Join(); }
  void Join() { thread_.Join(); }

  static HWND Dialog() {
    HWND dialog = FindWindowW(form2::kClassName, nullptr);
    return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
  }
  static HWND Control(int id) { return GetDlgItem(Dialog(), id); }
  static bool Checked(int id) { return IsChecked(Control(id)); }

  // The form's control that has the focus of the dialog's thread.
  int Focused() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND dialog = Dialog();
    if (dialog == nullptr || !GetGUIThreadInfo(uiThread_, &info)) return 0;
    HWND focus = info.hwndFocus;
    while (focus != nullptr && GetParent(focus) != dialog) focus = GetParent(focus);
    return focus != nullptr ? GetDlgCtrlID(focus) : 0;
  }
  static bool Await(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > timeoutMs) return false;
      Sleep(10);
    }
    return true;
  }
  bool AwaitFocus(int id) {
    return Await([&] { return Focused() == id; });
  }
  static bool AwaitClosed() {
    return Await([] { return Dialog() == nullptr; });
  }

  // What the script found; each step records whether it happened in time.
  std::vector<std::string> failures;
  void Expect(bool happened, const char* what) {
    if (!happened) failures.push_back(what);
  }

 private:
  void Run(const std::function<void(KeyboardUser&)>& script) {
    if (!Await([] { return Dialog() != nullptr; })) {
      failures.push_back("the dialog never opened");
      return;
    }
    script(*this);
    // Whatever the script saw, the dialog must end so that the test goes on.
    if (HWND dialog = Dialog()) PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  }

  DWORD uiThread_;
  Win32Thread thread_;
};

class AssignKeyboardTest : public DialogTest {
 protected:
  // Runs the assignment dialog for "Next" while the user's script plays on its
  // own thread; the script's failures count as the test's. Next then holds
  // after, registered.
  void EditNextWhile(KeyboardUser& user, klv::PackedHotkey after) {
    EXPECT_TRUE(AssignHotkey(gHotkeyTable[kNext], ConfigDialogWindow()));
    user.Join();
    EXPECT_EQ(user.failures, std::vector<std::string>());
    EXPECT_EQ(gSettings.hotkeys[kNext], after);
    EXPECT_FALSE(IsFree(after, host.main));
  }
};

// The dialog opens with the focus on Alt; Space takes Alt off the combination.
void SpaceClearsAlt(KeyboardUser& u) {
  u.Expect(u.AwaitFocus(form2::kAltBox), "the focus on Alt at opening");
  Press(VK_SPACE);
  u.Expect(u.Await([] { return !KeyboardUser::Checked(form2::kAltBox); }), "Space clears Alt");
}

TEST_F(AssignKeyboardTest, EnterOnAssignAssignsAndCloses) {
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  KeyboardUser user([](KeyboardUser& u) {
    SpaceClearsAlt(u);
    Press(VK_TAB, true);  // back round to "Assign"
    u.Expect(u.AwaitFocus(form2::kAssignButton), "Shift+Tab reaches Assign");
    u.Expect(u.Await([] { return IsDefaultButton(KeyboardUser::Control(form2::kAssignButton)); }),
             "Assign is the default button");
    Press(VK_RETURN);
    u.Expect(KeyboardUser::AwaitClosed(), "Enter on Assign closes the dialog");
  });
  EditNextWhile(user, kCtrlP);
  EXPECT_TRUE(RowMarked(kNext));
}

// The focus comes back to "Assign" after its error box, not by Tab: Enter tries again.
TEST_F(AssignKeyboardTest, EnterAfterARefusedClickOnAssignTriesAgain) {
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  KeyboardUser user([](KeyboardUser& u) {
    constexpr int kHoldId = 0x7001;
    HWND holder = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    u.Expect(RegisterHotKey(holder, kHoldId, MOD_CONTROL, 'P') != FALSE, "another party holds Ctrl+P");
    SpaceClearsAlt(u);
    // A mouse click; it returns once the error box has been closed.
    SendMessageW(KeyboardUser::Control(form2::kAssignButton), BM_CLICK, 0, 0);
    u.Expect(KeyboardUser::Dialog() != nullptr, "open after the refusal");
    u.Expect(u.AwaitFocus(form2::kAssignButton), "the focus back on Assign");
    UnregisterHotKey(holder, kHoldId);
    DestroyWindow(holder);
    Press(VK_RETURN);
    u.Expect(KeyboardUser::AwaitClosed(), "Enter on Assign closes the dialog");
  });
  EditNextWhile(user, kCtrlP);
  EXPECT_TRUE(OneErrorBox(boxes.Seen(), "Unable to set a hot key."));
}

TEST_F(AssignKeyboardTest, EnterWhereNoPushButtonHasTheFocusDoesNothing) {
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  KeyboardUser user([](KeyboardUser& u) {
    u.Expect(u.AwaitFocus(form2::kAltBox), "the focus on Alt at opening");
    Press(VK_RETURN);
    Press(VK_SPACE);  // its effect shows that Enter has been handled
    u.Expect(u.Await([] { return !KeyboardUser::Checked(form2::kAltBox); }), "Space clears Alt");
    u.Expect(KeyboardUser::Dialog() != nullptr, "open after Enter on Alt");
    u.Expect(!IsDefaultButton(KeyboardUser::Control(form2::kAssignButton)), "Assign not the default");
    for (int i = 0; i < 4; ++i) Press(VK_TAB);
    u.Expect(u.AwaitFocus(form2::kKeyBox), "Tab reaches the key box");
    Press(VK_RETURN);
    Press('Q');  // types "q" over the selected "P"
    u.Expect(u.Await([] { return WindowTextOf(KeyboardUser::Control(form2::kKeyBox)) == "q"; }),
             "q typed into the key box");
    u.Expect(KeyboardUser::Dialog() != nullptr, "open after Enter in the key box");
  });
  // Nothing was assigned: the entry and its registration are as before.
  EditNextWhile(user, kCtrlAltP);
}

TEST_F(AssignKeyboardTest, EscOnAnAssignedEntryClosesAndKeepsIt) {
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  KeyboardUser user([](KeyboardUser& u) {
    SpaceClearsAlt(u);
    Press(VK_ESCAPE);
    u.Expect(KeyboardUser::AwaitClosed(), "Esc closes the dialog");
  });
  EditNextWhile(user, kCtrlAltP);
  EXPECT_TRUE(RowMarked(kNext));
}

TEST_F(AssignKeyboardTest, EscOnAMarkedUnassignedRowClosesAndClearsTheMark) {
  ASSERT_NE(Open(), nullptr);
  KeyboardUser user([](KeyboardUser& u) {
    u.Expect(u.AwaitFocus(form2::kEnableBox), "the focus on Enable, the first enabled control");
    Press(VK_ESCAPE);
    u.Expect(KeyboardUser::AwaitClosed(), "Esc closes the dialog");
  });
  UserMarksRow(kPlay, true);  // opens the dialog once the list has finished its click
  FlushPostedMessages();
  user.Join();
  EXPECT_EQ(user.failures, std::vector<std::string>());
  EXPECT_EQ(gSettings.hotkeys[kPlay], 0u);
  EXPECT_FALSE(RowMarked(kPlay));
}

TEST_F(AssignKeyboardTest, EscWithTheKeyListOpenClosesTheListFirst) {
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  KeyboardUser user([](KeyboardUser& u) {
    u.Expect(u.AwaitFocus(form2::kAltBox), "the focus on Alt at opening");
    for (int i = 0; i < 4; ++i) Press(VK_TAB);
    u.Expect(u.AwaitFocus(form2::kKeyBox), "Tab reaches the key box");
    auto dropped = [] {
      return SendMessageW(KeyboardUser::Control(form2::kKeyBox), CB_GETDROPPEDSTATE, 0, 0) != 0;
    };
    Press(VK_F4);
    u.Expect(u.Await(dropped), "F4 opens the key list");
    Press(VK_ESCAPE);
    u.Expect(u.Await([&] { return !dropped(); }), "Esc closes the key list");
    u.Expect(KeyboardUser::Dialog() != nullptr, "the dialog stays open");
    Press(VK_ESCAPE);
    u.Expect(KeyboardUser::AwaitClosed(), "a second Esc closes the dialog");
  });
  EditNextWhile(user, kCtrlAltP);
}

}  // namespace
