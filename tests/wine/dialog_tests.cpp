// The configuration dialog and the hotkey assignment dialog, driven through
// their real controls as a user would: clicks, slider moves, typed text and
// check marks. The modal assignment dialog runs its loop in this thread, so a
// timer drives it step by step.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/alpha.h"
#include "core/hotkey_actions.h"
#include "plugin/hotkey_registration.h"
#include "plugin/plugin_state.h"
#include "plugin/settings_file.h"
#include "tests/wine/test_host.h"
#include "ui/config_dialog.h"
#include "ui/gen_klv_form1.h"
#include "ui/gen_klv_form2.h"
#include "ui/jpeg_picture.h"
#include "ui/ui_resources.h"

namespace {

constexpr int kNext = 5;  // hotkey table entry numbers; list row = entry - 1
constexpr int kPlay = 2;
const klv::PackedHotkey kCtrlAltP = 5242883;
const klv::PackedHotkey kCtrlAltF9 = klv::PackHotkey(VK_F9, true, true, false, false);

bool IsChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string Text(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

BYTE AlphaOf(HWND window) {
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags)) return 0;
  return alpha;
}

// Whether some other window could take the combination now, i.e. nobody holds it.
bool IsFree(klv::PackedHotkey packed, HWND probe) {
  constexpr int kProbeId = 0xBEEF;
  if (!RegisterHotKey(probe, kProbeId, klv::HotkeyModifiers(packed), klv::HotkeyKeyCode(packed)))
    return false;
  UnregisterHotKey(probe, kProbeId);
  return true;
}

// Runs steps against the assignment dialog, one per timer tick, while its
// modal loop runs. Records what the dialog showed when it opened.
class AssignDialogDriver {
 public:
  struct Snapshot {
    bool enable, alt, ctrl, shift, win;
    bool altEnabled, keyEnabled, enableEnabled, assignEnabled;
    std::string key;
    std::wstring caption;
  };
  using Step = std::function<void(HWND dialog)>;

  explicit AssignDialogDriver(std::vector<Step> steps) : steps_(std::move(steps)) {
    gDriver = this;
    timer_ = SetTimer(nullptr, 0, 30, Tick);
  }
  ~AssignDialogDriver() {
    KillTimer(nullptr, timer_);
    gDriver = nullptr;
  }

  int opened = 0;   // distinct dialogs seen
  size_t done = 0;  // steps run
  bool stillOpenAfterSteps = false;
  std::vector<Snapshot> snapshots;

 private:
  static HWND Dialog() {
    HWND dialog = FindWindowW(form2::kClassName, nullptr);
    return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    AssignDialogDriver* self = gDriver;
    HWND dialog = Dialog();
    if (self == nullptr || dialog == nullptr || self->busy_) return;
    self->busy_ = true;  // a step may open a message box whose loop ticks again
    if (dialog != self->last_) {
      self->last_ = dialog;
      ++self->opened;
      self->snapshots.push_back(TakeSnapshot(dialog));
    } else if (self->done < self->steps_.size()) {
      self->steps_[self->done++](dialog);
    }
    self->busy_ = false;
  }
  static Snapshot TakeSnapshot(HWND dialog) {
    auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
    wchar_t caption[128] = {};
    GetWindowTextW(dialog, caption, 128);
    return {IsChecked(item(form2::kCheckBox5)),
            IsChecked(item(form2::kCheckBox1)),
            IsChecked(item(form2::kCheckBox2)),
            IsChecked(item(form2::kCheckBox3)),
            IsChecked(item(form2::kCheckBox4)),
            IsWindowEnabled(item(form2::kCheckBox1)) != FALSE,
            IsWindowEnabled(item(form2::kComboBox1)) != FALSE,
            IsWindowEnabled(item(form2::kCheckBox5)) != FALSE,
            IsWindowEnabled(item(form2::kButton1)) != FALSE,
            Text(item(form2::kComboBox1)),
            caption};
  }

  static inline AssignDialogDriver* gDriver = nullptr;
  std::vector<Step> steps_;
  UINT_PTR timer_ = 0;
  HWND last_ = nullptr;
  bool busy_ = false;
};

// Steps of the assignment dialog.
AssignDialogDriver::Step ClickIn(int id) {
  return [id](HWND dialog) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); };
}
AssignDialogDriver::Step TypeKey(const char* name) {
  return [name](HWND dialog) { SetWindowTextA(GetDlgItem(dialog, form2::kComboBox1), name); };
}
AssignDialogDriver::Step PickKey(const char* name) {
  return [name](HWND dialog) {
    SendMessageA(GetDlgItem(dialog, form2::kComboBox1), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(name));
  };
}
AssignDialogDriver::Step CloseBox() {
  return [](HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
}
AssignDialogDriver::Step ExpectOpen(bool* flag) {
  return [flag](HWND dialog) { *flag = IsWindowVisible(dialog) != FALSE; };
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalAtoms();
    gPlugin.hwndParent = host.main;
    gSettings = klv::Settings{};
    FillEntryNames();
    for (klv::keystype& entry : gHotkeyTable) {
      entry.id = 0;
      entry.packed = 0;
    }
    gSettingsFile = std::make_unique<SettingsFile>(install.IniPath());
  }
  void TearDown() override {
    CloseConfigDialog();
    UnregisterAllHotkeys();
    gSettingsFile.reset();
    PumpMessages(20);
    ResetGlobalAtoms();
  }

  HWND Open() {
    OpenConfigDialog();
    PumpMessages(20);
    return ConfigDialogWindow();
  }
  static HWND Item(int id) { return GetDlgItem(ConfigDialogWindow(), id); }
  static void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  static HWND List() { return Item(form1::kCheckListBox1); }
  static bool RowMarked(int row) {
    return (SendMessageA(List(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) ==
           INDEXTOSTATEIMAGEMASK(2);
  }
  // What a click on the row's check box does to the list: the state changes
  // inside the list view and it notifies the dialog.
  static void UserMarksRow(int row, bool marked) {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(marked ? 2 : 1);
    SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  static void MoveSlider(int id, int position) {
    SendMessageA(Item(id), TBM_SETPOS, TRUE, position);
    SendMessageA(ConfigDialogWindow(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(Item(id)));
    SendMessageA(ConfigDialogWindow(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                 reinterpret_cast<LPARAM>(Item(id)));
  }
  static void TypeInEdit1(const char* text) {
    SendMessageA(Item(form1::kEdit1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  void Register(int n, klv::PackedHotkey packed) {
    HotkeyEntry(n).packed = packed;
    ASSERT_TRUE(RegisterEntryHotkey(HotkeyEntry(n)));
  }
  std::vector<SeenMessageBox> SeenAfterPump() {
    PumpMessages(150);
    return boxes.Seen();
  }

  MessageBoxWatcher boxes;
  TestInstall install;
  TestHost host;
};

// ---- The configuration dialog: opening ----

TEST_F(DialogTest, OpeningFillsEveryControlFromTheSettings) {
  gSettings.alphaLevels = {255, 128, 0, 51, 204, 127};
  gSettings.activeEnabled = true;
  gSettings.inactiveEnabled = false;
  gSettings.osdEnabled = true;
  gSettings.osdPosition = 7;
  gSettings.osdDisplayTime = 2500;
  gSettings.playOnStart = true;
  gSettings.rememberPosition = false;
  gSettings.hotkeysEnabled = true;
  HotkeyEntry(kNext).packed = kCtrlAltP;
  HotkeyEntry(kPlay).packed = kCtrlAltF9;

  ASSERT_NE(Open(), nullptr);
  const int sliders[] = {form1::kTrackBar1, form1::kTrackBar2, form1::kTrackBar3,
                         form1::kTrackBar4, form1::kTrackBar5, form1::kTrackBar6};
  const int expectedPositions[] = {100, 50, 0, 20, 80, 49};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(SendMessageA(Item(sliders[i]), TBM_GETPOS, 0, 0), expectedPositions[i]) << "slider " << i + 1;
  for (int row = 0; row < klv::kHotkeyCount; ++row)
    EXPECT_EQ(RowMarked(row), row == kNext - 1 || row == kPlay - 1) << "row " << row;
  for (int i = 0; i < 9; ++i) EXPECT_EQ(IsChecked(Item(form1::kRadioItem0 + i)), i == 7) << "radio " << i;
  EXPECT_EQ(Text(Item(form1::kEdit1)), "2500");
  EXPECT_FALSE(IsChecked(Item(form1::kCheckBox1)));
  EXPECT_TRUE(IsChecked(Item(form1::kCheckBox2)));
  EXPECT_TRUE(IsChecked(Item(form1::kCheckBox3)));
  EXPECT_FALSE(IsChecked(Item(form1::kCheckBox4)));
  EXPECT_TRUE(IsChecked(Item(form1::kCheckBox5)));
  EXPECT_TRUE(IsChecked(Item(form1::kCheckBox6)));

  struct Enabled {
    int id;
    bool enabled;
  } const enabledStates[] = {
      {form1::kCheckListBox1, true}, {form1::kGroupBox4, true},  {form1::kGroupBox1, true},
      {form1::kLabel1, true},        {form1::kTrackBar3, true},  {form1::kGroupBox2, false},
      {form1::kLabel5, false},       {form1::kTrackBar6, false}, {form1::kButton2, true},
      {form1::kButton3, true},       {form1::kLabel8, true},     {form1::kEdit1, true},
      {form1::kCheckBox4, true},  // the switches themselves stay usable
  };
  for (const Enabled& e : enabledStates)
    EXPECT_EQ(IsWindowEnabled(Item(e.id)) != FALSE, e.enabled) << "control " << e.id;
  // The registration ran during the opening: the combination is taken.
  EXPECT_FALSE(IsFree(kCtrlAltP, host.playlist));
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(DialogTest, OpeningWithEverythingOffDisablesTheGroups) {
  ASSERT_NE(Open(), nullptr);
  for (int id : {form1::kCheckListBox1, form1::kTrackBar1, form1::kTrackBar4, form1::kButton2,
                 form1::kButton3, form1::kRadioItem0, form1::kEdit1})
    EXPECT_FALSE(IsWindowEnabled(Item(id))) << "control " << id;
  for (int id : {form1::kCheckBox1, form1::kCheckBox2, form1::kCheckBox3, form1::kCheckBox4,
                 form1::kCheckBox5, form1::kCheckBox6, form1::kButton1})
    EXPECT_TRUE(IsWindowEnabled(Item(id))) << "control " << id;
}

TEST_F(DialogTest, OpeningTwiceChangesNoAlphaLevel) {
  // Levels that do not sit on a whole percentage would drift if the sliders stored back.
  const klv::AlphaLevels levels{125, 128, 1, 254, 100, 3};
  gSettings.alphaLevels = levels;
  gSettings.activeEnabled = true;
  gSettings.inactiveEnabled = true;
  for (int opening = 0; opening < 2; ++opening) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(gSettings.alphaLevels, levels) << "opening " << opening;
    SendMessageA(ConfigDialogWindow(), WM_CLOSE, 0, 0);
    PumpMessages(20);
    EXPECT_EQ(ConfigDialogWindow(), nullptr);
  }
  EXPECT_EQ(gSettings.alphaLevels, levels);
}

TEST_F(DialogTest, ACombinationRefusedDuringTheOpeningShowsUnchecked) {
  ASSERT_TRUE(
      RegisterHotKey(host.equalizer, 77, klv::HotkeyModifiers(kCtrlAltP), klv::HotkeyKeyCode(kCtrlAltP)));
  gSettings.hotkeysEnabled = true;
  HotkeyEntry(kNext).packed = kCtrlAltP;
  HotkeyEntry(kPlay).packed = kCtrlAltF9;

  ASSERT_NE(Open(), nullptr);
  EXPECT_FALSE(RowMarked(kNext - 1));
  EXPECT_TRUE(RowMarked(kPlay - 1));
  EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
  const auto seen = SeenAfterPump();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Unable to set a hot key.");
  UnregisterHotKey(host.equalizer, 77);
}

TEST_F(DialogTest, AStoredPositionPastEightChecksNoItemAndStays) {
  gSettings.osdPosition = 12;
  gSettings.osdEnabled = true;
  ASSERT_NE(Open(), nullptr);
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(IsChecked(Item(form1::kRadioItem0 + i))) << "radio " << i;
  EXPECT_EQ(gSettings.osdPosition, 12);
}

TEST_F(DialogTest, OpeningAgainBringsTheOpenDialogForward) {
  HWND first = Open();
  ASSERT_NE(first, nullptr);
  OpenConfigDialog();
  EXPECT_EQ(ConfigDialogWindow(), first);
  EXPECT_TRUE(IsWindowVisible(first));
}

TEST_F(DialogTest, TheFormsHaveTheirCaptionsAndClientSizes) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Text(dialog), "\"Kelvo-plugin\" configuration");
  RECT client{};
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, ScaleForDpi(632));
  EXPECT_EQ(client.bottom, ScaleForDpi(456));

  AssignDialogDriver driver({[](HWND form2) {
                               RECT rect{};
                               GetClientRect(form2, &rect);
                               EXPECT_EQ(rect.right, ScaleForDpi(427));
                               EXPECT_EQ(rect.bottom, ScaleForDpi(37));
                               EXPECT_NE(GetWindowLongA(form2, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
                             },
                             CloseBox()});
  EditHotkey(kNext);
  ASSERT_EQ(driver.snapshots.size(), 1u);
  EXPECT_EQ(
      driver.snapshots[0].caption,
      L"\u0423\u0441\u0442\u0430\u043d\u043e\u0432\u043a\u0430 \u0433\u043e\u0440\u044f\u0447\u0435\u0439 "
      L"\u043a\u043b\u0430\u0432\u0438\u0448\u0438");
}

// The form's own control that holds the focus (a combo box's edit counts as the combo box).
int FocusedControl(HWND form) {
  HWND focus = GetFocus();
  while (focus != nullptr && GetParent(focus) != form) focus = GetParent(focus);
  return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

// Tab as the user presses it, through the thread's message queue.
void PressTab(HWND form) {
  PostMessageA(GetFocus() != nullptr ? GetFocus() : form, WM_KEYDOWN, VK_TAB, 1);
  PostMessageA(GetFocus() != nullptr ? GetFocus() : form, WM_KEYUP, VK_TAB, 0xC0000001);
}

TEST_F(DialogTest, TabVisitsTheControlsInTheirTabOrder) {
  gSettings.activeEnabled = gSettings.inactiveEnabled = gSettings.osdEnabled = gSettings.hotkeysEnabled =
      true;
  gSettings.osdPosition = 4;
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  const int expected[] = {
      form1::kTrackBar1, form1::kTrackBar2,     form1::kTrackBar3,      form1::kTrackBar4, form1::kTrackBar5,
      form1::kTrackBar6, form1::kCheckListBox1, form1::kRadioItem0 + 4, form1::kEdit1,     form1::kButton2,
      form1::kButton3,   form1::kCheckBox1,     form1::kCheckBox2,      form1::kCheckBox3, form1::kCheckBox4,
      form1::kCheckBox5, form1::kCheckBox6,     form1::kButton1,
  };
  EXPECT_EQ(FocusedControl(dialog), form1::kButton1);
  for (int id : expected) {
    PressTab(dialog);
    PumpMessages(10);
    EXPECT_EQ(FocusedControl(dialog), id);
  }
  EXPECT_EQ(gSettings.osdPosition, 4);  // passing the radio group selects nothing new
}

TEST_F(DialogTest, TabInTheAssignmentDialogFollowsItsTabOrder) {
  HotkeyEntry(kNext).packed = kCtrlAltP;
  std::vector<int> visited;
  std::vector<AssignDialogDriver::Step> steps;
  steps.push_back([&](HWND d) { visited.push_back(FocusedControl(d)); });
  for (int i = 0; i < 7; ++i) {
    steps.push_back([](HWND d) { PressTab(d); });
    steps.push_back([&](HWND d) { visited.push_back(FocusedControl(d)); });
  }
  steps.push_back(CloseBox());
  AssignDialogDriver driver(steps);
  EditHotkey(kNext);
  EXPECT_EQ(visited,
            std::vector<int>({form2::kCheckBox1, form2::kCheckBox2, form2::kCheckBox3, form2::kCheckBox4,
                              form2::kComboBox1, form2::kCheckBox5, form2::kButton1, form2::kCheckBox1}));
}

// ---- The configuration dialog: handlers ----

TEST_F(DialogTest, ADisabledButtonStillShowsItsHint) {
  ASSERT_NE(Open(), nullptr);  // OSD off: "Select Color" is disabled
  ASSERT_FALSE(IsWindowEnabled(Item(form1::kButton2)));
  RECT rect{};
  GetWindowRect(Item(form1::kButton2), &rect);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PumpMessages(1200);
  std::string shown;
  for (HWND tip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tip != nullptr;
       tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr))
    if (IsWindowVisible(tip)) shown += Text(tip);
  SetCursorPos(0, 0);
  EXPECT_EQ(shown, "Color selection for screen tips");
}

TEST_F(DialogTest, CheckBoxesSetTheirSettings) {
  struct Case {
    int box;
    bool klv::Settings::*field;
  } const cases[] = {
      {form1::kCheckBox1, &klv::Settings::rememberPosition},
      {form1::kCheckBox2, &klv::Settings::playOnStart},
      {form1::kCheckBox5, &klv::Settings::osdEnabled},
      {form1::kCheckBox3, &klv::Settings::activeEnabled},
      {form1::kCheckBox4, &klv::Settings::inactiveEnabled},
      {form1::kCheckBox6, &klv::Settings::hotkeysEnabled},
  };
  ASSERT_NE(Open(), nullptr);
  for (const Case& c : cases) {
    Click(c.box);
    EXPECT_TRUE(gSettings.*c.field) << "box " << c.box;
    Click(c.box);
    EXPECT_FALSE(gSettings.*c.field) << "box " << c.box;
  }
}

TEST_F(DialogTest, TheOsdBoxEnablesItsGroup) {
  const int kOsdGroup[] = {form1::kButton2, form1::kButton3, form1::kLabel8, form1::kEdit1,
                           form1::kRadioItem0 + 4};
  ASSERT_NE(Open(), nullptr);
  Click(form1::kCheckBox5);
  for (int id : kOsdGroup) EXPECT_TRUE(IsWindowEnabled(Item(id))) << "control " << id;
  Click(form1::kCheckBox5);
  for (int id : kOsdGroup) EXPECT_FALSE(IsWindowEnabled(Item(id))) << "control " << id;
}

TEST_F(DialogTest, RadioItemsSelectThePosition) {
  gSettings.osdEnabled = true;
  ASSERT_NE(Open(), nullptr);
  for (int item : {0, 3, 8, 7}) {
    Click(form1::kRadioItem0 + item);
    EXPECT_EQ(gSettings.osdPosition, item);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(IsChecked(Item(form1::kRadioItem0 + i)), i == item);
  }
}

TEST_F(DialogTest, Edit1ReadsWholeNumbersAndRefusesOtherText) {
  gSettings.osdEnabled = true;
  ASSERT_NE(Open(), nullptr);
  struct Case {
    const char* text;
    int32_t expected;  // the display time afterwards
    bool error;
  } const cases[] = {
      {"2500", 2500, false}, {"$3E8", 1000, false}, {"-5", -5, false}, {"0x10", 16, false},
      {"", 16, true},        {"12x", 16, true},     {"abc", 16, true},
  };
  size_t errorsBefore = 0;
  for (const Case& c : cases) {
    TypeInEdit1(c.text);
    EXPECT_EQ(gSettings.osdDisplayTime, c.expected) << '"' << c.text << '"';
    const auto seen = SeenAfterPump();
    EXPECT_EQ(seen.size(), errorsBefore + (c.error ? 1 : 0)) << '"' << c.text << '"';
    if (c.error && !seen.empty()) {
      EXPECT_EQ(seen.back().text, "'" + std::string(c.text) + "' is not a valid integer value.");
      EXPECT_NE(seen.back().icon, 0u);
    }
    errorsBefore = seen.size();
  }
}

TEST_F(DialogTest, SlidersSetTheirLevelOnlyWhenMoved) {
  gSettings.alphaLevels = {128, 128, 128, 128, 128, 128};
  gSettings.inactiveEnabled = true;
  gSettings.activeEnabled = true;
  ASSERT_NE(Open(), nullptr);
  // The thumb let go where it stood: the level keeps its odd value.
  SendMessageA(ConfigDialogWindow(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
               reinterpret_cast<LPARAM>(Item(form1::kTrackBar5)));
  EXPECT_EQ(gSettings.alphaLevels[4], 128);

  struct Case {
    int slider;
    int percent;
    int index;
    uint8_t alpha;
  } const cases[] = {
      {form1::kTrackBar5, 40, 4, 102},
      {form1::kTrackBar4, 0, 3, 0},
      {form1::kTrackBar6, 100, 5, 255},
      {form1::kTrackBar1, 60, 0, 153},
  };
  for (const Case& c : cases) {
    MoveSlider(c.slider, c.percent);
    EXPECT_EQ(gSettings.alphaLevels[c.index], c.alpha) << "slider " << c.slider;
  }
  // The dialog is the active window, so the host windows show their inactive levels.
  EXPECT_EQ(AlphaOf(host.playlist), 102);
  EXPECT_EQ(AlphaOf(host.main), 0);
}

TEST_F(DialogTest, TransparencySwitchesApplyAtOnce) {
  gSettings.alphaLevels = {200, 200, 200, 90, 90, 90};
  ASSERT_NE(Open(), nullptr);
  Click(form1::kCheckBox4);
  for (HWND window : {host.main, host.playlist, host.equalizer}) EXPECT_EQ(AlphaOf(window), 90);
  EXPECT_TRUE(IsWindowEnabled(Item(form1::kTrackBar4)));
  Click(form1::kCheckBox4);
  for (HWND window : {host.main, host.playlist, host.equalizer}) EXPECT_EQ(AlphaOf(window), 255);
  EXPECT_FALSE(IsWindowEnabled(Item(form1::kTrackBar4)));
}

TEST_F(DialogTest, TheHotkeysBoxRegistersAndReleasesEveryEntry) {
  HotkeyEntry(kNext).packed = kCtrlAltP;
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(RowMarked(kNext - 1));
  EXPECT_TRUE(IsFree(kCtrlAltP, host.playlist));
  Click(form1::kCheckBox6);
  EXPECT_TRUE(gSettings.hotkeysEnabled);
  EXPECT_TRUE(IsWindowEnabled(List()));
  EXPECT_FALSE(IsFree(kCtrlAltP, host.playlist));
  Click(form1::kCheckBox6);
  EXPECT_FALSE(IsWindowEnabled(List()));
  EXPECT_TRUE(IsFree(kCtrlAltP, host.playlist));
  EXPECT_EQ(HotkeyEntry(kNext).packed, kCtrlAltP);
}

// ---- The hotkey list ----

TEST_F(DialogTest, MarkingAnUnassignedRowOpensTheDialogAndItsCloseBoxClearsTheMark) {
  gSettings.hotkeysEnabled = true;
  ASSERT_NE(Open(), nullptr);
  AssignDialogDriver driver({CloseBox()});
  UserMarksRow(kNext - 1, true);
  PumpMessages(200);
  EXPECT_EQ(driver.opened, 1);
  EXPECT_EQ(CurrentHotkeyEntry(), kNext);
  EXPECT_FALSE(RowMarked(kNext - 1));
  EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
}

TEST_F(DialogTest, MarkingARowAndAssigningKeepsTheMark) {
  gSettings.hotkeysEnabled = true;
  ASSERT_NE(Open(), nullptr);
  AssignDialogDriver driver({ClickIn(form2::kCheckBox5), ClickIn(form2::kCheckBox2),
                             ClickIn(form2::kCheckBox1), PickKey("F9"), ClickIn(form2::kButton1)});
  UserMarksRow(kPlay - 1, true);
  PumpMessages(500);
  EXPECT_EQ(driver.opened, 1);
  EXPECT_TRUE(RowMarked(kPlay - 1));
  EXPECT_EQ(HotkeyEntry(kPlay).packed, kCtrlAltF9);
  EXPECT_FALSE(IsFree(kCtrlAltF9, host.playlist));
}

TEST_F(DialogTest, UnmarkingAnAssignedRowClearsItWithoutTheDialog) {
  gSettings.hotkeysEnabled = true;
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  ASSERT_TRUE(RowMarked(kNext - 1));
  AssignDialogDriver driver({CloseBox()});
  UserMarksRow(kNext - 1, false);
  PumpMessages(200);
  EXPECT_EQ(driver.opened, 0);
  EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
  EXPECT_TRUE(IsFree(kCtrlAltP, host.playlist));
}

TEST_F(DialogTest, ADoubleClickOpensTheDialogForThatRow) {
  gSettings.hotkeysEnabled = true;
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  RECT rect{};
  rect.left = LVIR_LABEL;
  SendMessageA(List(), LVM_GETITEMRECT, kNext - 1, reinterpret_cast<LPARAM>(&rect));
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  AssignDialogDriver driver({CloseBox()});
  SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageA(List(), WM_LBUTTONUP, 0, point);
  SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  SendMessageA(List(), WM_LBUTTONUP, 0, point);
  PumpMessages(200);
  EXPECT_EQ(driver.opened, 1);
  EXPECT_EQ(CurrentHotkeyEntry(), kNext);
  ASSERT_EQ(driver.snapshots.size(), 1u);
  EXPECT_EQ(driver.snapshots[0].key, "P");
  // Closed without "Assign": the entry, its registration and its mark stay.
  EXPECT_EQ(HotkeyEntry(kNext).packed, kCtrlAltP);
  EXPECT_TRUE(RowMarked(kNext - 1));
  EXPECT_FALSE(IsFree(kCtrlAltP, host.playlist));
}

TEST_F(DialogTest, ADoubleClickOnACheckBoxOpensOneDialogAtATime) {
  gSettings.hotkeysEnabled = true;
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  ListView_SetItemState(List(), kNext - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  RECT rect{};
  rect.left = LVIR_ICON;
  SendMessageA(List(), LVM_GETITEMRECT, kPlay - 1, reinterpret_cast<LPARAM>(&rect));
  const LPARAM box = MAKELPARAM(rect.left - 6, (rect.top + rect.bottom) / 2);  // the state image
  int mostOpen = 0;
  auto countOpen = [&](HWND) {
    int open = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, form2::kClassName, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, form2::kClassName, nullptr))
      open += IsWindowVisible(w) ? 1 : 0;
    mostOpen = std::max(mostOpen, open);
  };
  AssignDialogDriver driver({countOpen, CloseBox(), countOpen, CloseBox(), countOpen, CloseBox()});
  SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, box);
  SendMessageA(List(), WM_LBUTTONUP, 0, box);
  ASSERT_TRUE(RowMarked(kPlay - 1));
  SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, box);
  SendMessageA(List(), WM_LBUTTONUP, 0, box);
  PumpMessages(400);
  EXPECT_EQ(mostOpen, 1);
  EXPECT_EQ(HotkeyEntry(kNext).packed, kCtrlAltP);
  EXPECT_EQ(HotkeyEntry(kPlay).packed, 0);
  EXPECT_FALSE(RowMarked(kPlay - 1));
}

TEST_F(DialogTest, QuitWhileTheAssignmentDialogIsOpenClosesBothAndKeepsTheEntries) {
  gSettings.hotkeysEnabled = true;
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  AssignDialogDriver driver({[](HWND) { CloseConfigDialog(); }});
  UserMarksRow(0, true);
  PumpMessages(300);
  EXPECT_EQ(driver.opened, 1);
  EXPECT_EQ(ConfigDialogWindow(), nullptr);
  EXPECT_EQ(FindWindowW(form2::kClassName, nullptr), nullptr);
  EXPECT_EQ(HotkeyEntry(kNext).packed, kCtrlAltP);
}

// ---- The assignment dialog ----

TEST_F(DialogTest, TheAssignmentDialogShowsTheEntry) {
  struct Case {
    klv::PackedHotkey packed;
    AssignDialogDriver::Snapshot expected;
  } const cases[] = {
      {kCtrlAltP, {true, true, true, false, false, true, true, true, true, "P", L""}},
      {0, {false, false, false, false, false, false, false, true, true, "", L""}},
      {klv::PackHotkey(VK_F12, false, false, true, true),
       {true, false, false, true, true, true, true, true, true, "F12", L""}},
  };
  for (const Case& c : cases) {
    HotkeyEntry(kNext).packed = c.packed;
    AssignDialogDriver driver({CloseBox()});
    EditHotkey(kNext);
    ASSERT_EQ(driver.snapshots.size(), 1u);
    const auto& s = driver.snapshots[0];
    const auto& e = c.expected;
    EXPECT_EQ(std::vector<bool>({s.enable, s.alt, s.ctrl, s.shift, s.win}),
              std::vector<bool>({e.enable, e.alt, e.ctrl, e.shift, e.win}))
        << c.packed;
    EXPECT_EQ(std::vector<bool>({s.altEnabled, s.keyEnabled, s.enableEnabled, s.assignEnabled}),
              std::vector<bool>({e.altEnabled, e.keyEnabled, e.enableEnabled, e.assignEnabled}))
        << c.packed;
    EXPECT_EQ(s.key, e.key);
    EXPECT_EQ(HotkeyEntry(kNext).packed, c.packed);  // the close box changes nothing
  }
}

TEST_F(DialogTest, EnableSwitchesTheOtherControlsAndKeepsTheirContents) {
  HotkeyEntry(kNext).packed = kCtrlAltP;
  bool altEnabledAfterOff = true, altCheckedAfterOff = false, altEnabledAfterOn = false;
  std::string keyAfterOff;
  AssignDialogDriver driver(
      {ClickIn(form2::kCheckBox5),
       [&](HWND d) {
         altEnabledAfterOff = IsWindowEnabled(GetDlgItem(d, form2::kCheckBox1)) != FALSE;
         altCheckedAfterOff = IsChecked(GetDlgItem(d, form2::kCheckBox1));
         keyAfterOff = Text(GetDlgItem(d, form2::kComboBox1));
       },
       ClickIn(form2::kCheckBox5),
       [&](HWND d) { altEnabledAfterOn = IsWindowEnabled(GetDlgItem(d, form2::kComboBox1)) != FALSE; },
       CloseBox()});
  EditHotkey(kNext);
  EXPECT_FALSE(altEnabledAfterOff);
  EXPECT_TRUE(altCheckedAfterOff);
  EXPECT_EQ(keyAfterOff, "P");
  EXPECT_TRUE(altEnabledAfterOn);
}

TEST_F(DialogTest, ACharacterTypedOnEnableAppliesItsState) {
  bool keyEnabled = false;
  AssignDialogDriver driver(
      {[](HWND d) {
         // The mark changed without a click: only the key press reacts to it.
         SendMessageA(GetDlgItem(d, form2::kCheckBox5), BM_SETCHECK, BST_CHECKED, 0);
         SendMessageA(GetDlgItem(d, form2::kCheckBox5), WM_CHAR, 'x', 1);
       },
       [&](HWND d) { keyEnabled = IsWindowEnabled(GetDlgItem(d, form2::kComboBox1)) != FALSE; }, CloseBox()});
  EditHotkey(kNext);
  EXPECT_TRUE(keyEnabled);
  EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
}

TEST_F(DialogTest, AssignWithWinAndF12StoresAndRegistersIt) {
  bool result = false;
  {
    AssignDialogDriver driver(
        {ClickIn(form2::kCheckBox5), ClickIn(form2::kCheckBox4), PickKey("F12"), ClickIn(form2::kButton1)});
    result = EditHotkey(kNext);
    EXPECT_EQ(driver.done, 4u);
  }
  EXPECT_TRUE(result);
  EXPECT_EQ(HotkeyEntry(kNext).packed, 8060936);
  EXPECT_FALSE(IsFree(8060936, host.playlist));
}

TEST_F(DialogTest, AssignReleasesTheEntrysOldCombination) {
  Register(kNext, kCtrlAltP);
  AssignDialogDriver driver({TypeKey("Q"), ClickIn(form2::kButton1)});
  EXPECT_TRUE(EditHotkey(kNext));
  EXPECT_EQ(HotkeyEntry(kNext).packed, klv::PackHotkey('Q', true, true, false, false));
  EXPECT_TRUE(IsFree(kCtrlAltP, host.playlist));
  EXPECT_FALSE(IsFree(HotkeyEntry(kNext).packed, host.playlist));
}

TEST_F(DialogTest, AssignWithAnEmptyKeyBoxDoesNothing) {
  bool stillOpen = false;
  AssignDialogDriver driver({ClickIn(form2::kCheckBox5), ClickIn(form2::kCheckBox2), ClickIn(form2::kButton1),
                             ExpectOpen(&stillOpen), CloseBox()});
  EXPECT_FALSE(EditHotkey(kNext));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(DialogTest, AssignWithEnableOffClearsTheEntryAndItsMark) {
  gSettings.hotkeysEnabled = true;
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  AssignDialogDriver driver({ClickIn(form2::kCheckBox5), ClickIn(form2::kButton1)});
  EXPECT_FALSE(EditHotkey(kNext));
  EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
  EXPECT_TRUE(IsFree(kCtrlAltP, host.playlist));
  EXPECT_FALSE(RowMarked(kNext - 1));
}

TEST_F(DialogTest, ARefusedCombinationKeepsTheDialogOpen) {
  ASSERT_TRUE(RegisterHotKey(host.equalizer, 78, klv::HotkeyModifiers(kCtrlAltF9), VK_F9));
  bool stillOpen = false;
  AssignDialogDriver driver({ClickIn(form2::kCheckBox5), ClickIn(form2::kCheckBox1),
                             ClickIn(form2::kCheckBox2), PickKey("F9"), ClickIn(form2::kButton1),
                             ExpectOpen(&stillOpen), CloseBox()});
  EXPECT_FALSE(EditHotkey(kNext));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "Error");
  EXPECT_EQ(seen[0].text, "Unable to set a hot key.");
  UnregisterHotKey(host.equalizer, 78);
}

TEST_F(DialogTest, AnUnknownKeyNameIsNotAssigned) {
  Register(kNext, kCtrlAltP);
  bool stillOpen = false;
  AssignDialogDriver driver({TypeKey("Foo"), ClickIn(form2::kButton1), ExpectOpen(&stillOpen), CloseBox()});
  EXPECT_TRUE(EditHotkey(kNext));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(HotkeyEntry(kNext).packed, kCtrlAltP);
  EXPECT_FALSE(IsFree(kCtrlAltP, host.playlist));
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "Error");
  EXPECT_EQ(seen[0].text, "Unknown key: Foo");
}

// ---- Leaving the dialog ----

TEST_F(DialogTest, ExitWritesEverySettingInTheFileOrder) {
  gSettings.hotkeysEnabled = true;
  HotkeyEntry(kNext).packed = kCtrlAltP;
  gSettings.osdDisplayTime = 1234;
  ASSERT_NE(Open(), nullptr);
  Click(form1::kCheckBox2);
  Click(form1::kButton1);
  PumpMessages(50);
  EXPECT_EQ(ConfigDialogWindow(), nullptr);

  const std::string ini = install.ReadIni();
  const char* const inOrder[] = {
      "[Hotkeys]",
      "Enable=1",
      "prev_hotkey=0",
      "next_hotkey=5242883",
      "stop_after_current_hotkey=0",
      "[Transparency]",
      "EnableActive=0",
      "WinAMP_active=255",
      "Equalizer_active=255",
      "EnableInactive=0",
      "Equalizer_inactive=255",
      "[OSD]",
      "Enable=0",
      "OSDPosition=7",
      "OSDDisplayTime=1234",
      "OSDColor=14024702",
      "OSDFontName=Arial",
      "OSDFontStyleStrikeOut=0",
      "[Track]",
      "PlayOnStart=1",
      "RememberPosition=0",
  };
  size_t at = 0;
  for (const char* text : inOrder) {
    const size_t found = ini.find(text, at);
    ASSERT_NE(found, std::string::npos) << text << " after offset " << at << " in\n" << ini;
    at = found + 1;
  }
  EXPECT_EQ(ini.find("Position="), ini.find("OSDPosition=") + 3);  // no Track/Position
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(DialogTest, TheCloseBoxKeepsTheChangesAndWritesNothing) {
  ASSERT_NE(Open(), nullptr);
  Click(form1::kCheckBox1);
  SendMessageA(ConfigDialogWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages(50);
  EXPECT_EQ(ConfigDialogWindow(), nullptr);
  EXPECT_TRUE(gSettings.rememberPosition);
  EXPECT_EQ(install.ReadIni(), "");
}

TEST_F(DialogTest, ExitShowsARefusedWrite) {
  install.WriteIni("[Track]\nPosition=5\n");
  SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_NE(Open(), nullptr);
  Click(form1::kButton1);
  const auto seen = SeenAfterPump();
  SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ConfigDialogWindow(), nullptr);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Unable to write to " + install.IniPath() + ".");
  EXPECT_NE(seen[0].icon, 0u);
}

// ---- The About pictures ----

std::vector<uint8_t> LogoFromTheDll() {
  const char* path = std::getenv("KLV_DLL");
  HMODULE dll = LoadLibraryExA(path != nullptr ? path : "gen_klv.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (dll == nullptr) return {};
  std::vector<uint8_t> bytes;
  if (HRSRC resource = FindResourceA(dll, MAKEINTRESOURCEA(KLV_IDR_ABOUT_LOGO), MAKEINTRESOURCEA(10))) {
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(dll, resource)));
    bytes.assign(data, data + SizeofResource(dll, resource));
  }
  FreeLibrary(dll);
  return bytes;
}

TEST(JpegPicture, DecodesWholePicturesAndLeavesDamagedOnesEmpty) {
  const std::vector<uint8_t> logo = LogoFromTheDll();
  ASSERT_GT(logo.size(), 200u);
  HBITMAP whole = DecodeJpegToBitmap(logo.data(), logo.size());
  ASSERT_NE(whole, nullptr);
  BITMAP info{};
  GetObjectA(whole, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 120);
  EXPECT_EQ(info.bmHeight, 40);
  DeleteObject(whole);

  std::vector<uint8_t> garbage(logo.begin(), logo.end());
  for (size_t i = 2; i < garbage.size(); i += 3) garbage[i] = static_cast<uint8_t>(i * 7);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } const cases[] = {
      {"empty", {}},
      {"header only", std::vector<uint8_t>(logo.begin(), logo.begin() + 2)},
      {"truncated to half", std::vector<uint8_t>(logo.begin(), logo.begin() + logo.size() / 2)},
      {"last bytes missing", std::vector<uint8_t>(logo.begin(), logo.end() - 40)},
      {"not a JPEG", std::vector<uint8_t>(300, 0x55)},
      {"scrambled", garbage},
  };
  for (const Case& c : cases) {
    HBITMAP bitmap = DecodeJpegToBitmap(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(bitmap, nullptr) << c.what;
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
}

// Through the real DLL: the host's config entry opens the dialog with its pictures.
TEST(ConfigThroughTheDll, ShowsThePicturesAndClosesAtQuit) {
  ResetGlobalAtoms();
  MessageBoxWatcher boxes;
  TestInstall install;
  TestHost host;
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  plugin.Config();
  PumpMessages(50);
  HWND dialog = FindWindowA(form1::kClassName, nullptr);
  ASSERT_NE(dialog, nullptr);
  for (int id : {form1::kImage1, form1::kImage2}) {
    auto bitmap =
        reinterpret_cast<HBITMAP>(SendMessageA(GetDlgItem(dialog, id), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(bitmap, nullptr) << "picture " << id;
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, id == form1::kImage1 ? 120 : 52);
    EXPECT_EQ(info.bmHeight, id == form1::kImage1 ? 40 : 41);
  }
  // The DLL's manifest brings Common Controls 6, which alone answer BCM_GETIDEALSIZE.
  SIZE ideal{};
  EXPECT_TRUE(SendMessageA(GetDlgItem(dialog, form1::kButton1), BCM_GETIDEALSIZE, 0,
                           reinterpret_cast<LPARAM>(&ideal)));
  plugin.Config();  // a second call brings the same dialog forward
  PumpMessages(20);
  EXPECT_EQ(FindWindowA(form1::kClassName, nullptr), dialog);
  plugin.Quit();
  PumpMessages(20);
  EXPECT_FALSE(IsWindow(dialog));
  plugin.Unload();
  EXPECT_TRUE(boxes.Seen().empty());
  ResetGlobalAtoms();
}

}  // namespace
