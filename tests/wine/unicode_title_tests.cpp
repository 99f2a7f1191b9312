// Titles in any script: the wide title shown exactly on a Unicode OSD window,
// cut at 255 UTF-16 units without parting a surrogate pair, and the 8-bit
// title of a host without wide titles read in the system's code page.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "plugin/hotkeys/hotkey_press.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/osd/osd_window.h"
#include "plugin/playback_resume.h"
#include "plugin/plugin_state.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "tests/wine/osd_fixture.h"
#include "tests/wine/plugin_kit.h"

namespace {

constexpr int kInfo = 10;  // "Show Song Information": title and time, no command
constexpr WPARAM kId = 0xC111;
// "Кино Αθήνα": Cyrillic and Greek, which no single ANSI code page holds.
const std::wstring kCyrillicGreek = L"\u041a\u0438\u043d\u043e \u0391\u03b8\u03ae\u03bd\u03b1";
const std::wstring kNote = L"\U0001F3B5";  // one character, two UTF-16 units D83C DFB5

std::wstring InfoText(const std::wstring& title) { return L"Info : \"" + title + L"\" [1:05/3:07]"; }

class UnicodeTitleTest : public OsdFixture {
 protected:
  void SetUp() override {
    ResetPluginState(host.main);
    OsdFixture::SetUp();
    gSettings.osdEnabled = true;
    gSettings.osdDisplayTime = 60000;
    gHotkeyTable[kInfo].registration.atom = kId;
    gSettings.hotkeys[kInfo] = klv::PackHotkey('I', true, true, false, false);
  }
  void TearDown() override {
    OsdFixture::TearDown();
    ResetPluginState(nullptr);
  }

  // Runs the action and answers what the OSD then holds, as another program reads it.
  std::wstring ShownText() {
    host.ClearLog();
    RunHotkeyAction(kId);
    HWND osd = OsdPlatformWindow();
    return osd != nullptr ? WideWindowTextOf(osd) : L"<no OSD>";
  }

  TestHost host;
};

// Measured in UTF-16 as it is drawn: the window is the wide text's extent
// plus the frame and margins (6 wider, 6 taller), at the default place, the
// right edge of the 1024 x 768 screen, centred vertically.
TEST_F(UnicodeTitleTest, TheWindowIsSizedToTheWideText) {
  host.wideTitles = true;
  host.wideTitle = kCyrillicGreek + L" " + kCyrillicGreek;
  const std::wstring expected = InfoText(host.wideTitle);
  ASSERT_EQ(ShownText(), expected);
  const SIZE extent = MeasureInOsdFont(expected);
  ASSERT_GT(extent.cx, 0);
  // Frame and inset, 3 px on each side; where it stands is the placement's business.
  const RECT rect = WindowRect(OsdPlatformWindow());
  EXPECT_EQ(rect.right - rect.left, extent.cx + 6);
  EXPECT_EQ(rect.bottom - rect.top, extent.cy + 6);
}

// On a Unicode window, up to 255 UTF-16 units, never cut inside a pair; a host
// with wide titles is never asked for the 8-bit one.
TEST_F(UnicodeTitleTest, AWideTitleIsShownExactlyUpTo255UnitsNeverCutInsideAPair) {
  host.wideTitles = true;
  struct Case {
    const char* label;
    std::wstring title;
    std::wstring shown;
  };
  const Case cases[] = {
      {"Cyrillic and Greek", kCyrillicGreek, kCyrillicGreek},
      {"an ampersand", L"Salt & Pepper", L"Salt & Pepper"},
      {"a pair and accents", kNote + L" \u00e9t\u00e9", kNote + L" \u00e9t\u00e9"},
      {"empty", L"", L""},
      {"256 units: the first 255", std::wstring(255, L'a') + L"b", std::wstring(255, L'a')},
      {"a pair as units 255 and 256 goes whole: 254", std::wstring(254, L'a') + kNote,
       std::wstring(254, L'a')},
      {"a pair as units 254 and 255 stays", std::wstring(253, L'a') + kNote + L"bc",
       std::wstring(253, L'a') + kNote},
      {"Cyrillic past the limit", std::wstring(300, L'\u0416'), std::wstring(255, L'\u0416')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    host.wideTitle = c.title;
    EXPECT_EQ(ShownText(), InfoText(c.shown));
    EXPECT_EQ(host.Requests(), (std::vector<int>{125, 213, 105, 105}));
  }
  ASSERT_NE(OsdPlatformWindow(), nullptr);
  EXPECT_TRUE(IsWindowUnicode(OsdPlatformWindow()));
}

// An older host answers the wide request with 0 or -1: the 8-bit title
// follows, its bytes read in the system's ANSI code page.
TEST_F(UnicodeTitleTest, WithoutAWideTitleThe8BitOneIsReadInTheCodePage) {
  wchar_t inCodePage[8] = {};
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "Caf\xE9", -1, inCodePage, 8), 5);
  for (LRESULT none : {LRESULT{0}, LRESULT{-1}}) {
    SCOPED_TRACE(none);
    host.wideTitles = false;
    host.noWideTitle = none;
    host.title = "Caf\xE9";
    EXPECT_EQ(ShownText(), InfoText(inCodePage));
    EXPECT_EQ(host.Requests(), (std::vector<int>{125, 213, 212, 105, 105}));
    host.title = std::string(300, 'z');
    EXPECT_EQ(ShownText(), InfoText(std::wstring(255, L'z')));
  }
}

// The start-up text carries the wide title too; a text without a title is unchanged.
TEST_F(UnicodeTitleTest, TheStartUpTextCarriesItAndFixedTextsStayAsTheyWere) {
  gSettings.playOnStart = true;
  host.wideTitles = true;
  host.wideTitle = kCyrillicGreek;
  host.ClearLog();
  PlayOnStart();
  ASSERT_NE(OsdPlatformWindow(), nullptr);
  EXPECT_EQ(WideWindowTextOf(OsdPlatformWindow()), L"\"" + kCyrillicGreek + L"\" [1:05/3:07]");
  EXPECT_EQ(host.Requests(), (std::vector<int>{102, 125, 213, 105, 105}));

  gSettings.hotkeys[kInfo] = 0;
  gHotkeyTable[7].registration.atom = kId;  // "Volume Up"
  gSettings.hotkeys[7] = klv::PackHotkey('U', true, true, false, false);
  EXPECT_EQ(ShownText(), L"Volume Up");
  EXPECT_TRUE(host.Requests().empty());
}

}  // namespace
