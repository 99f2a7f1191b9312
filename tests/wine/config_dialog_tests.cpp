// The configuration dialog driven through its real controls as a user would:
// clicks, slider moves, typed text and check marks, and the hotkey list that
// opens the assignment dialog.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/alpha.h"
#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/ini_text.h"
#include "plugin/host/window_hooks.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/plugin_state.h"
#include "tests/wine/dialog_kit.h"
#include "ui/assign_dialog.h"
#include "ui/config_dialog.h"
#include "ui/config_form_holder.h"
#include "ui/form_layout.h"

namespace {

using namespace dialog_kit;

class ConfigDialogTest : public DialogTest {};

// ---- Opening ----

TEST_F(ConfigDialogTest, OpeningFillsEveryControlFromTheSettings) {
  gSettings.alphaLevels = {255, 128, 0, 51, 204, 127};
  gSettings.activeEnabled = true;
  gSettings.inactiveEnabled = false;
  gSettings.osdEnabled = true;
  gSettings.osdPosition = 7;
  gSettings.osdDisplayTime = 2500;
  gSettings.playOnStart = true;
  gSettings.rememberPosition = false;
  gSettings.hotkeysEnabled = true;
  gSettings.hotkeys[kNext] = kCtrlAltP;
  gSettings.hotkeys[kPlay] = kCtrlAltF9;

  ASSERT_NE(Open(), nullptr);
  const int sliders[] = {form1::kActiveMainSlider,       form1::kActivePlaylistSlider,
                         form1::kActiveEqualizerSlider,  form1::kInactiveMainSlider,
                         form1::kInactivePlaylistSlider, form1::kInactiveEqualizerSlider};
  const int expectedPositions[] = {100, 50, 0, 20, 80, 49};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(SendMessageA(Item(sliders[i]), TBM_GETPOS, 0, 0), expectedPositions[i]) << "slider " << i + 1;
  for (int row = 0; row < klv::kHotkeyCount; ++row)
    EXPECT_EQ(RowMarked(row), row == kNext || row == kPlay) << "row " << row;
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(IsChecked(Item(form1::kOsdPositionItem0 + i)), i == 7) << "radio " << i;
  EXPECT_EQ(WindowTextOf(Item(form1::kDisplayTimeEdit)), "2500");
  EXPECT_FALSE(IsChecked(Item(form1::kRememberPositionBox)));
  EXPECT_TRUE(IsChecked(Item(form1::kPlayOnStartBox)));
  EXPECT_TRUE(IsChecked(Item(form1::kActiveTransparencyBox)));
  EXPECT_FALSE(IsChecked(Item(form1::kInactiveTransparencyBox)));
  EXPECT_TRUE(IsChecked(Item(form1::kOsdBox)));
  EXPECT_TRUE(IsChecked(Item(form1::kHotkeysBox)));

  struct Enabled {
    int id;
    bool classic;
    bool modern;  // a modern skin sets the windows' opacity itself
  } const enabledStates[] = {
      // clang-format off
      {form1::kHotkeyList, true, true},             {form1::kHotkeysGroup, true, true},
      {form1::kActiveGroup, true, false},           {form1::kActiveMainLabel, true, false},
      {form1::kActiveEqualizerSlider, true, false}, {form1::kInactiveGroup, false, false},
      {form1::kInactivePlaylistLabel, false, false}, {form1::kInactiveEqualizerSlider, false, false},
      {form1::kSelectColorButton, true, true},      {form1::kSelectFontButton, true, true},
      {form1::kDisplayTimeUnitLabel, true, true},   {form1::kDisplayTimeEdit, true, true},
      {form1::kActiveTransparencyBox, true, false}, {form1::kInactiveTransparencyBox, true, false},
      // clang-format on
  };
  // The open dialog follows the host's switches of skin.
  InstallWindowHooks();
  for (HostSkin skin : {HostSkin::kClassic, HostSkin::kModern, HostSkin::kClassic}) {
    host.SwitchSkin(skin);
    FlushPostedMessages();
    const bool modern = skin == HostSkin::kModern;
    for (const Enabled& e : enabledStates)
      EXPECT_EQ(IsWindowEnabled(Item(e.id)) != FALSE, modern ? e.modern : e.classic) << "control " << e.id;
    EXPECT_EQ(IsWindowVisible(Item(form1::kOwnOpacityNote)) != FALSE, modern);
  }
  EXPECT_EQ(WindowTextOf(Item(form1::kOwnOpacityNote)), "The current skin sets its own opacity.");
  // The registration ran during the opening: the combination is taken.
  EXPECT_FALSE(IsFree(kCtrlAltP, host.playlist));
  EXPECT_TRUE(boxes.Seen().empty());
}

// Opened with everything off, the groups are disabled and their switches
// usable; the OSD box enables its group and disables it again.
TEST_F(ConfigDialogTest, OpeningWithEverythingOffDisablesTheGroupsAndTheOsdBoxEnablesItsOwn) {
  const int kOsdGroup[] = {form1::kSelectColorButton,    form1::kSelectFontButton,
                           form1::kDisplayTimeUnitLabel, form1::kDisplayTimeEdit,
                           form1::kShowOnLabel,          form1::kOsdMonitorList,
                           form1::kNotOverFullScreenBox, form1::kShowVolumeLevelBox,
                           form1::kShowAlbumArtBox,      form1::kOsdPositionItem0 + 4};
  ASSERT_NE(Open(), nullptr);
  for (int id : {form1::kHotkeyList, form1::kActiveMainSlider, form1::kInactiveMainSlider,
                 form1::kSelectColorButton, form1::kSelectFontButton, form1::kOsdPositionItem0,
                 form1::kDisplayTimeEdit, form1::kOsdMonitorList, form1::kNotOverFullScreenBox,
                 form1::kShowOnTrackChangeBox, form1::kShowVolumeLevelBox, form1::kShowAlbumArtBox})
    EXPECT_FALSE(IsWindowEnabled(Item(id))) << "control " << id;
  for (int id : {form1::kRememberPositionBox, form1::kPlayOnStartBox, form1::kActiveTransparencyBox,
                 form1::kInactiveTransparencyBox, form1::kOsdBox, form1::kHotkeysBox, form1::kExitButton})
    EXPECT_TRUE(IsWindowEnabled(Item(id))) << "control " << id;
  Click(form1::kOsdBox);
  for (int id : kOsdGroup) EXPECT_TRUE(IsWindowEnabled(Item(id))) << "control " << id;
  Click(form1::kOsdBox);
  for (int id : kOsdGroup) EXPECT_FALSE(IsWindowEnabled(Item(id))) << "control " << id;
}

TEST_F(ConfigDialogTest, OpeningTwiceChangesNoAlphaLevel) {
  // Levels that do not sit on a whole percentage would drift if the sliders stored back.
  const klv::AlphaLevels levels{125, 128, 1, 254, 100, 3};
  gSettings.alphaLevels = levels;
  gSettings.activeEnabled = true;
  gSettings.inactiveEnabled = true;
  for (int opening = 0; opening < 2; ++opening) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(gSettings.alphaLevels, levels) << "opening " << opening;
    SendMessageA(ConfigDialogWindow(), WM_CLOSE, 0, 0);
    FlushPostedMessages();
    EXPECT_EQ(ConfigDialogWindow(), nullptr);
  }
  EXPECT_EQ(gSettings.alphaLevels, levels);
}

TEST_F(ConfigDialogTest, ACombinationRefusedDuringTheOpeningWaitsTickedWithoutABox) {
  ASSERT_TRUE(
      RegisterHotKey(host.equalizer, 77, klv::HotkeyModifiers(kCtrlAltP), klv::HotkeyKeyCode(kCtrlAltP)));
  gSettings.hotkeysEnabled = true;
  gSettings.hotkeys[kNext] = kCtrlAltP;
  gSettings.hotkeys[kPlay] = kCtrlAltF9;

  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(RowMarked(kNext));
  EXPECT_EQ(RowText(List(), kNext), "Next (in use)");
  EXPECT_TRUE(RowMarked(kPlay));
  EXPECT_EQ(RowText(List(), kPlay), "Play");
  EXPECT_EQ(gSettings.hotkeys[kNext], kCtrlAltP);
  EXPECT_TRUE(boxes.SeenAfterPump().empty());
  UnregisterHotKey(host.equalizer, 77);
}

// Opening it again brings the open one forward.
TEST_F(ConfigDialogTest, TheFormHasItsCaptionAndClientSizeAndOpensOnce) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowTextOf(dialog), "\"Kelvo-plugin\" configuration");
  RECT client{};
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, ScaleForDpi(632));
  EXPECT_EQ(client.bottom, ScaleForDpi(493));
  OpenConfigDialog();
  EXPECT_EQ(ConfigDialogWindow(), dialog);
  EXPECT_TRUE(IsWindowVisible(dialog));
}

TEST_F(ConfigDialogTest, TabVisitsTheControlsInTheirTabOrder) {
  gSettings.activeEnabled = gSettings.inactiveEnabled = gSettings.osdEnabled = gSettings.hotkeysEnabled =
      true;
  gSettings.osdPosition = 4;
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  const int expected[] = {
      // clang-format off
      form1::kActiveMainSlider, form1::kActivePlaylistSlider, form1::kActiveEqualizerSlider,
      form1::kInactiveMainSlider, form1::kInactivePlaylistSlider, form1::kInactiveEqualizerSlider,
      form1::kHotkeyList, form1::kOsdPositionItem0 + 4, form1::kDisplayTimeEdit, form1::kSelectColorButton,
      form1::kSelectFontButton, form1::kOsdMonitorList, form1::kNotOverFullScreenBox,
      form1::kShowOnTrackChangeBox, form1::kShowVolumeLevelBox, form1::kShowAlbumArtBox,
      form1::kShowOnPlayStateBox, form1::kShowOnVolumeChangeBox, form1::kRememberPositionBox,
      form1::kPlayOnStartBox, form1::kActiveTransparencyBox, form1::kInactiveTransparencyBox, form1::kOsdBox,
      form1::kHotkeysBox, form1::kSeekStepEdit, form1::kVolumeStepEdit, form1::kExitButton,
      // clang-format on
  };
  EXPECT_EQ(FocusedControl(dialog), form1::kExitButton);
  for (int id : expected) {
    PressTab(dialog);
    FlushPostedMessages();
    EXPECT_EQ(FocusedControl(dialog), id);
  }
  EXPECT_EQ(gSettings.osdPosition, 4);  // passing the radio group selects nothing new
}

// ---- Handlers ----

TEST_F(ConfigDialogTest, ADisabledButtonStillShowsItsHint) {
  ASSERT_NE(Open(), nullptr);  // OSD off: "Select Color" is disabled
  ASSERT_FALSE(IsWindowEnabled(Item(form1::kSelectColorButton)));
  const RECT rect = WindowRect(Item(form1::kSelectColorButton));
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  std::string shown;
  auto hintShown = [&shown] {
    shown.clear();
    for (HWND tip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tip != nullptr;
         tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr))
      if (IsWindowVisible(tip)) shown += WindowTextOf(tip);
    return !shown.empty();
  };
  WaitUntil(hintShown);
  SetCursorPos(0, 0);
  EXPECT_EQ(shown, "Color selection for screen tips");
}

// A stored position past eight checks no item and stays until one is clicked.
TEST_F(ConfigDialogTest, RadioItemsShowAndSelectThePosition) {
  gSettings.osdPosition = 12;
  gSettings.osdEnabled = true;
  ASSERT_NE(Open(), nullptr);
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(IsChecked(Item(form1::kOsdPositionItem0 + i))) << "radio " << i;
  EXPECT_EQ(gSettings.osdPosition, 12);
  for (int item : {0, 3, 8, 7}) {
    Click(form1::kOsdPositionItem0 + item);
    EXPECT_EQ(gSettings.osdPosition, item);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(IsChecked(Item(form1::kOsdPositionItem0 + i)), i == item);
  }
}

// The list shows the stored monitor, or its first item for a value it has
// none for, and leaves the setting as it was until the user picks an item.
TEST_F(ConfigDialogTest, TheMonitorListShowsTheSettingAndSetsItAtOnce) {
  struct Opening {
    int32_t stored;
    int shown;
  } const openings[] = {{0, 0}, {2, 2}, {3, 3}, {4, 0}, {-1, 0}, {255, 0}};
  gSettings.osdEnabled = true;
  for (const Opening& o : openings) {
    gSettings.osdMonitor = o.stored;
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(SendMessageW(Item(form1::kOsdMonitorList), CB_GETCURSEL, 0, 0), o.shown) << o.stored;
    EXPECT_EQ(gSettings.osdMonitor, o.stored);
    CloseConfigDialog();
    FlushPostedMessages();
  }
  ASSERT_NE(Open(), nullptr);
  HWND list = Item(form1::kOsdMonitorList);
  for (int item : {3, 1, 2, 0}) {
    // A pick from the open list, as the list reports it.
    SendMessageW(list, CB_SETCURSEL, item, 0);
    SendMessageW(ConfigDialogWindow(), WM_COMMAND, MAKEWPARAM(form1::kOsdMonitorList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(gSettings.osdMonitor, item);
  }
}

// Each box shows its setting and sets it at once, either way; the OSD's
// options while the OSD is on.
TEST_F(ConfigDialogTest, CheckBoxesShowTheirSettingsAndSetThemAtOnce) {
  const std::pair<int, bool klv::Settings::*> checkBoxes[] = {
      {form1::kNotOverFullScreenBox, &klv::Settings::osdHideFullScreen},
      {form1::kShowOnTrackChangeBox, &klv::Settings::osdOnTrackChange},
      {form1::kShowVolumeLevelBox, &klv::Settings::osdShowVolume},
      {form1::kShowAlbumArtBox, &klv::Settings::osdShowArt},
      {form1::kShowOnPlayStateBox, &klv::Settings::osdOnPlayState},
      {form1::kShowOnVolumeChangeBox, &klv::Settings::osdOnVolumeChange},
      {form1::kRememberPositionBox, &klv::Settings::rememberPosition},
      {form1::kPlayOnStartBox, &klv::Settings::playOnStart},
      {form1::kOsdBox, &klv::Settings::osdEnabled},
      {form1::kActiveTransparencyBox, &klv::Settings::activeEnabled},
      {form1::kInactiveTransparencyBox, &klv::Settings::inactiveEnabled},
      {form1::kHotkeysBox, &klv::Settings::hotkeysEnabled},
  };
  gSettings.osdEnabled = gSettings.osdHideFullScreen = gSettings.osdShowVolume = true;
  ASSERT_NE(Open(), nullptr);
  for (const auto& [box, field] : checkBoxes) {
    const bool stored = gSettings.*field;
    EXPECT_EQ(IsChecked(Item(box)), stored) << "box " << box;
    Click(box);
    EXPECT_EQ(gSettings.*field, !stored) << "box " << box;
    Click(box);
    EXPECT_EQ(gSettings.*field, stored) << "box " << box;
  }
}

TEST_F(ConfigDialogTest, Edit1ReadsWholeNumbersAndRefusesOtherText) {
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
    const auto seen = boxes.SeenAfterPump();
    EXPECT_EQ(seen.size(), errorsBefore + (c.error ? 1 : 0)) << '"' << c.text << '"';
    if (c.error && !seen.empty()) {
      EXPECT_EQ(seen.back().text, "'" + std::string(c.text) + "' is not a valid integer value.");
      EXPECT_NE(seen.back().icon, 0u);
    }
    errorsBefore = seen.size();
  }
}

// The step boxes take a whole number within their ranges (seconds 1..600, percent 0..100) at
// once; other text is not taken and shows no box, and the box shows the step again once left.
TEST_F(ConfigDialogTest, StepBoxesTakeWholeNumbersWithinTheirRanges) {
  using form1::kSeekStepEdit, form1::kVolumeStepEdit;
  struct Case {
    int box;
    const char* text;
    int32_t seconds, percent;
    const char* shownOnceLeft;
  } const cases[] = {
      {kSeekStepEdit, "30", 30, 0, "30"},   {kSeekStepEdit, "600", 600, 0, "600"},
      {kSeekStepEdit, "0", 600, 0, "600"},  {kSeekStepEdit, "601", 600, 0, "600"},
      {kSeekStepEdit, "", 600, 0, "600"},   {kVolumeStepEdit, "10", 600, 10, "10"},
      {kVolumeStepEdit, "0", 600, 0, "0"},  {kVolumeStepEdit, "101", 600, 0, "0"},
      {kVolumeStepEdit, "-1", 600, 0, "0"}, {kVolumeStepEdit, "5%", 600, 0, "0"},
  };
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowTextOf(Item(kSeekStepEdit)), "5");
  EXPECT_EQ(WindowTextOf(Item(kVolumeStepEdit)), "0");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.box << " \"" << c.text << '"');
    SendMessageA(Item(c.box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text));
    EXPECT_EQ(gSettings.seekSeconds, c.seconds);
    EXPECT_EQ(gSettings.volumePercent, c.percent);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(c.box, EN_KILLFOCUS), reinterpret_cast<LPARAM>(Item(c.box)));
    EXPECT_EQ(WindowTextOf(Item(c.box)), c.shownOnceLeft);
  }
  EXPECT_TRUE(boxes.SeenAfterPump().empty());
}

TEST_F(ConfigDialogTest, SlidersSetTheirLevelOnlyWhenMoved) {
  gSettings.alphaLevels = {128, 128, 128, 128, 128, 128};
  gSettings.inactiveEnabled = true;
  gSettings.activeEnabled = true;
  ASSERT_NE(Open(), nullptr);
  // The thumb let go where it stood: the level keeps its odd value.
  SendMessageA(ConfigDialogWindow(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
               reinterpret_cast<LPARAM>(Item(form1::kInactivePlaylistSlider)));
  EXPECT_EQ(gSettings.alphaLevels[4], 128);

  struct Case {
    int slider;
    int percent;
    int index;
    uint8_t alpha;
  } const cases[] = {
      {form1::kInactivePlaylistSlider, 40, 4, 102},
      {form1::kInactiveMainSlider, 0, 3, 0},
      {form1::kInactiveEqualizerSlider, 100, 5, 255},
      {form1::kActiveMainSlider, 60, 0, 153},
  };
  for (const Case& c : cases) {
    MoveSlider(c.slider, c.percent);
    EXPECT_EQ(gSettings.alphaLevels[c.index], c.alpha) << "slider " << c.slider;
  }
  // The dialog is the active window, so the host windows show their inactive levels.
  EXPECT_EQ(AlphaOf(host.playlist), 102);
  EXPECT_EQ(AlphaOf(host.main), 0);
}

// Opened under a modern skin, the switches and sliders leave the main window at
// the skin's alpha 0 and the playlist and equalizer unlayered, as the skin has them.
// A player without a skin engine answers 633 with 1, no address: a classic skin.
TEST_F(ConfigDialogTest, TransparencySwitchesApplyAtOnce) {
  gSettings.alphaLevels = {200, 200, 200, 90, 90, 90};
  struct Case {
    HostSkin skin;
    int playlistPercent;         // the inactive playlist slider moved there
    std::array<int, 3> on, off;  // main, playlist, equalizer
    bool slidersEnabled;
    bool answersOne = false;  // to 633, as to every request it does not know
  } const cases[] = {
      {HostSkin::kModern, 60, {0, -1, -1}, {0, -1, -1}, false},
      {HostSkin::kClassic, 20, {90, 51, 90}, {255, 255, 255}, true},
      {HostSkin::kClassic, 20, {90, 51, 90}, {255, 255, 255}, true, true},
  };
  auto alphas = [&] {
    return std::array<int, 3>{AlphaOf(host.main), AlphaOf(host.playlist), AlphaOf(host.equalizer)};
  };
  for (const Case& c : cases) {
    host.SwitchSkin(c.skin);
    if (c.answersOne) host.rawAnswers[633] = 1;
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(IsWindowVisible(Item(form1::kOwnOpacityNote)) != FALSE, c.skin == HostSkin::kModern);
    Click(form1::kInactiveTransparencyBox);
    MoveSlider(form1::kInactivePlaylistSlider, c.playlistPercent);
    EXPECT_EQ(alphas(), c.on);
    EXPECT_EQ(IsWindowEnabled(Item(form1::kInactiveMainSlider)) != FALSE, c.slidersEnabled);
    Click(form1::kInactiveTransparencyBox);
    EXPECT_EQ(alphas(), c.off);
    EXPECT_FALSE(IsWindowEnabled(Item(form1::kInactiveMainSlider)));
    SendMessageA(ConfigDialogWindow(), WM_CLOSE, 0, 0);
    FlushPostedMessages();
  }
  host.rawAnswers.erase(633);
}

TEST_F(ConfigDialogTest, TheHotkeysBoxRegistersAndReleasesEveryEntry) {
  gSettings.hotkeys[kNext] = kCtrlAltP;
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(RowMarked(kNext));
  EXPECT_TRUE(IsFree(kCtrlAltP, host.playlist));
  Click(form1::kHotkeysBox);
  EXPECT_TRUE(gSettings.hotkeysEnabled);
  EXPECT_TRUE(IsWindowEnabled(List()));
  EXPECT_FALSE(IsFree(kCtrlAltP, host.playlist));
  Click(form1::kHotkeysBox);
  EXPECT_FALSE(IsWindowEnabled(List()));
  EXPECT_TRUE(IsFree(kCtrlAltP, host.playlist));
  EXPECT_EQ(gSettings.hotkeys[kNext], kCtrlAltP);
}

// ---- The hotkey list ----

struct ListRowCase {
  int entry;
  klv::PackedHotkey stored;
  const char* storedKey;
  bool storedAltCtrl;
  std::vector<AssignDialogDriver::Step> assignSteps;
  klv::PackedHotkey assigned;
};

// Row 5 and the sixteenth action's row alike: a double click opens the entry
// and its close box keeps it; unmarking clears it without the dialog; marking
// an unassigned row opens the dialog, whose close box clears the mark and
// whose "Assign" keeps it.
TEST_F(ConfigDialogTest, TheListsRowsOpenClearAndAssignTheirEntries) {
  const klv::PackedHotkey ctrlF24 = (135 << 16) | 2;
  const ListRowCase cases[] = {
      // clang-format off
      {kNext, kCtrlAltP, "P", true, {ClickIn(form2::kEnableBox), ClickIn(form2::kCtrlBox), ClickIn(form2::kAltBox),
       PickKey("F9"), ClickIn(form2::kAssignButton)}, kCtrlAltF9},
      {kPlayPause, 179 << 16 /* MediaPlayPause alone */, "MediaPlayPause", false, {ClickIn(form2::kEnableBox),
       ClickIn(form2::kCtrlBox), PickKey("F24"), ClickIn(form2::kAssignButton)}, ctrlF24},
      // clang-format on
  };
  gSettings.hotkeysEnabled = true;
  for (const ListRowCase& c : cases) Register(c.entry, c.stored);
  ASSERT_NE(Open(), nullptr);
  for (const ListRowCase& c : cases) {
    SCOPED_TRACE(c.storedKey);
    const int row = c.entry;
    {
      AssignDialogDriver driver({CloseBox()});
      DoubleClickListRow(List(), row);
      FlushPostedMessages();
      EXPECT_EQ(driver.opened, 1);
      ASSERT_EQ(driver.snapshots.size(), 1u);
      const AssignDialogDriver::Snapshot& shown = driver.snapshots[0];
      EXPECT_EQ(shown.key, c.storedKey);
      EXPECT_TRUE(shown.enable);
      EXPECT_EQ(shown.alt, c.storedAltCtrl);
      EXPECT_EQ(shown.ctrl, c.storedAltCtrl);
      EXPECT_FALSE(shown.shift || shown.win);
      EXPECT_EQ(gSettings.hotkeys[c.entry], c.stored);
      EXPECT_TRUE(RowMarked(row));
      EXPECT_FALSE(IsFree(c.stored, host.playlist));
    }
    {
      AssignDialogDriver none({CloseBox()});
      UserMarksRow(row, false);
      FlushPostedMessages();
      EXPECT_EQ(none.opened, 0);
      EXPECT_EQ(gSettings.hotkeys[c.entry], 0);
      EXPECT_TRUE(IsFree(c.stored, host.playlist));
    }
    {
      AssignDialogDriver driver({CloseBox()});
      UserMarksRow(row, true);
      FlushPostedMessages();
      EXPECT_EQ(driver.opened, 1);
      EXPECT_FALSE(RowMarked(row));
      EXPECT_EQ(gSettings.hotkeys[c.entry], 0);
    }
    AssignDialogDriver driver(c.assignSteps);
    UserMarksRow(row, true);
    FlushPostedMessages();
    EXPECT_EQ(driver.opened, 1);
    EXPECT_EQ(driver.done, c.assignSteps.size());
    EXPECT_TRUE(RowMarked(row));
    EXPECT_EQ(gSettings.hotkeys[c.entry], c.assigned);
    EXPECT_FALSE(IsFree(c.assigned, host.playlist));
  }
}

TEST_F(ConfigDialogTest, ADoubleClickOnACheckBoxOpensOneDialogAtATime) {
  gSettings.hotkeysEnabled = true;
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  ListView_SetItemState(List(), kNext, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  RECT rect{};
  rect.left = LVIR_ICON;
  SendMessageA(List(), LVM_GETITEMRECT, kPlay, reinterpret_cast<LPARAM>(&rect));
  const LPARAM box = MAKELPARAM(rect.left - 6, (rect.top + rect.bottom) / 2);  // the state image
  int mostOpen = 0;
  auto countOpen = [&](HWND) { mostOpen = std::max(mostOpen, CountVisibleWindows(form2::kClassName)); };
  AssignDialogDriver driver({countOpen, CloseBox(), countOpen, CloseBox(), countOpen, CloseBox()});
  SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, box);
  SendMessageA(List(), WM_LBUTTONUP, 0, box);
  ASSERT_TRUE(RowMarked(kPlay));
  SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, box);
  SendMessageA(List(), WM_LBUTTONUP, 0, box);
  FlushPostedMessages();
  FlushPostedMessages();  // and whatever the first dialog's end posted
  EXPECT_EQ(mostOpen, 1);
  EXPECT_EQ(gSettings.hotkeys[kNext], kCtrlAltP);
  EXPECT_EQ(gSettings.hotkeys[kPlay], 0);
  EXPECT_FALSE(RowMarked(kPlay));
}

TEST_F(ConfigDialogTest, QuitWhileTheAssignmentDialogIsOpenClosesBothAndKeepsTheEntries) {
  gSettings.hotkeysEnabled = true;
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  AssignDialogDriver driver({[](HWND) { CloseConfigDialog(); }});
  UserMarksRow(0, true);
  FlushPostedMessages();
  EXPECT_EQ(driver.opened, 1);
  EXPECT_EQ(ConfigDialogWindow(), nullptr);
  EXPECT_EQ(FindWindowW(form2::kClassName, nullptr), nullptr);
  EXPECT_EQ(gSettings.hotkeys[kNext], kCtrlAltP);
}

// ---- Leaving the dialog ----

TEST_F(ConfigDialogTest, ExitWritesEverySettingInTheFileOrder) {
  gSettings.hotkeysEnabled = true;
  gSettings.hotkeys[kNext] = kCtrlAltP;
  gSettings.osdDisplayTime = 1234;
  ASSERT_NE(Open(), nullptr);
  Click(form1::kPlayOnStartBox);
  Click(form1::kExitButton);
  FlushPostedMessages();
  EXPECT_EQ(ConfigDialogWindow(), nullptr);

  const std::string ini = install.ReadIni();
  const char* const inOrder[] = {
      // clang-format off
      "[Hotkeys]", "Enable=1", "prev_hotkey=0", "next_hotkey=5242883", "stop_after_current_hotkey=0",
      "[Transparency]", "EnableActive=0", "WinAMP_active=255", "Equalizer_active=255", "EnableInactive=0",
      "Equalizer_inactive=255",
      "[OSD]", "Enable=0", "OSDPosition=7", "OSDDisplayTime=1234", "OSDColor=14024702", "OSDFontName=Arial",
      "OSDFontStyleStrikeOut=0",
      "[Track]", "PlayOnStart=1", "RememberPosition=0",
      "[Steps]", "SeekSeconds=5", "VolumePercent=0", "MutedVolume=0",
      // clang-format on
  };
  size_t at = 0;
  for (const char* text : inOrder) {
    const size_t found = ini.find(text, at);
    ASSERT_NE(found, std::string::npos) << text << " after offset " << at << " in\n" << ini;
    at = found + 1;
  }
  // Position belongs to quit alone.
  EXPECT_EQ(klv::IniText(ini).ReadString("Track", "Position", "<missing>"), "<missing>");
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(ConfigDialogTest, TheCloseBoxKeepsTheChangesAndWritesNothing) {
  ASSERT_NE(Open(), nullptr);
  Click(form1::kRememberPositionBox);
  SendMessageA(ConfigDialogWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
  FlushPostedMessages();
  EXPECT_EQ(ConfigDialogWindow(), nullptr);
  EXPECT_TRUE(gSettings.rememberPosition);
  EXPECT_EQ(install.ReadIni(), "");
}

TEST_F(ConfigDialogTest, ExitShowsARefusedWrite) {
  install.WriteIni("[Track]\nPosition=5\n");
  SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_NE(Open(), nullptr);
  Click(form1::kExitButton);
  const auto seen = boxes.SeenAfterPump();
  SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ConfigDialogWindow(), nullptr);
  EXPECT_TRUE(OneErrorBox(seen, "Unable to write to " + install.IniPath() + ".", "gen_klv"));
}

}  // namespace
