// The OSD window against the real system: placement for the measured text,
// topmost without activation, click-through, expiry, repaint on colour and
// font changes, drawing through WM_PRINT, and handles over many shows.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <uxtheme.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/cover/cover_art.h"
#include "core/settings/settings_schema.h"
#include "player/album_art_service.h"
#include "plugin/cover/track_cover.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "plugin/settings/settings_file.h"
#include "testkit/jpeg_encode.h"
#include "testkit/resource_counts.h"
#include "testkit/test_host.h"
#include "testkit/win32_thread.h"
#include "tests/wine/osd_fixture.h"
#include "tests/wine/plugin_kit.h"
#include "ui/osd_pickers.h"

namespace {

// The expected places below are worked out for the suites' one screen.
::testing::AssertionResult OnTheSuitesScreen() {
  const int metrics[][2] = {{SM_CXSCREEN, 1024},    {SM_CYSCREEN, 768},         {SM_XVIRTUALSCREEN, 0},
                            {SM_YVIRTUALSCREEN, 0}, {SM_CXVIRTUALSCREEN, 1024}, {SM_CYVIRTUALSCREEN, 768}};
  for (const auto& [metric, value] : metrics) {
    if (GetSystemMetrics(metric) != value)
      return ::testing::AssertionFailure() << "not a single 1024 x 768 screen";
  }
  return ::testing::AssertionSuccess();
}

struct Place {
  int x, y, width, height;
};

::testing::AssertionResult SameRect(const Place& expected, const RECT& actual) {
  if (actual.left == expected.x && actual.top == expected.y && actual.right - actual.left == expected.width &&
      actual.bottom - actual.top == expected.height) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "expected (" << expected.x << ", " << expected.y << ") " << expected.width << " x "
         << expected.height << ", got (" << actual.left << ", " << actual.top << ") "
         << actual.right - actual.left << " x " << actual.bottom - actual.top;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b); }

// The OSD window around a text of this extent: frame and inset, 3 px on each side.
SIZE WindowSizeFor(const SIZE& text) { return SIZE{text.cx + 6, text.cy + 6}; }

// The rightmost column of the client area holding a pixel other than background.
int RightmostInk(const Picture& picture, COLORREF background) {
  int rightmost = -1;
  for (int y = 1; y < picture.height - 1; ++y) {
    for (int x = 1; x < picture.width - 1; ++x) {
      if (picture.At(x, y) != background) rightmost = std::max(rightmost, x);
    }
  }
  return rightmost;
}

// A plain top-level window that is active and in front before the OSD shows.
class ActiveWindow {
 public:
  ActiveWindow() {
    window = CreateTestWindow("OsdTestFront", DefWindowProcA, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              RECT{0, 0, 1024, 768});
    SetForegroundWindow(window);
    SetActiveWindow(window);
    WaitUntil([this] { return GetActiveWindow() == window; });
  }
  ~ActiveWindow() { DestroyWindow(window); }
  HWND window = nullptr;
};

class OsdTest : public OsdFixture {};

// The rule for every code and the clamps is the core's; here the window takes
// the measured size of its text and stands where that rule puts it, written
// out for the suites' screen and this text in the default font.
TEST_F(OsdTest, TakesThePlaceOfTheMeasuredText) {
  ASSERT_TRUE(OnTheSuitesScreen());
  const std::string text = "Next : \"Song\" [1:05/3:07]";
  ShowOsd(text);
  const SIZE extent = MeasureInOsdFont(text);
  ASSERT_TRUE(extent.cx == 198 && extent.cy == 19)
      << "the places below are worked out for 198 x 19, not " << extent.cx << " x " << extent.cy;
  struct Case {
    const char* label;
    int code;  // -1: the setting's default
    Place expected;
  } const cases[] = {
      {"the default: right middle", -1, {820, 373, 204, 25}},
      {"8: bottom-right, pulled up by the desktop's edge", 8, {820, 743, 204, 25}},
      {"0: top-left", 0, {0, 0, 204, 25}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    if (c.code >= 0) gSettings.osdPosition = static_cast<uint8_t>(c.code);
    ShowOsd(text);
    HWND osd = OsdPlatformWindow();
    ASSERT_NE(osd, nullptr);
    EXPECT_TRUE(SameRect(c.expected, WindowRect(osd)));
    RECT client{};
    GetClientRect(osd, &client);
    EXPECT_EQ(client.right, 202);
    EXPECT_EQ(client.bottom, 23);
  }
}

// The font's size is in points: at 96 pixels per inch a point is 4/3 pixels.
TEST_F(OsdTest, TheFontHasTheSettingsFaceStyleAndPointSize) {
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (pixelsPerInch != 96) GTEST_SKIP() << "sizes worked out for 96 pixels per inch, not " << pixelsPerInch;
  struct Case {
    int32_t points;
    bool bold, italic, underline, strikeOut;
    LONG height, weight;
  } const cases[] = {
      {12, false, false, false, false, -16, FW_NORMAL},
      {9, true, false, true, false, -12, FW_BOLD},
      {20, false, true, false, true, -27, FW_NORMAL},  // 26.67 rounds to 27
      {24, true, true, true, true, -32, FW_BOLD},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.points);
    gSettings.osdFont = {"Courier New", c.points, 0, c.bold, c.italic, c.underline, c.strikeOut};
    ApplyOsdFont();
    ShowOsd("Stop");
    LOGFONTA font{};
    ASSERT_NE(GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(OsdPlatformWindow(), WM_GETFONT, 0, 0)),
                         sizeof(font), &font),
              0);
    EXPECT_STREQ(font.lfFaceName, "Courier New");
    EXPECT_EQ(font.lfHeight, c.height);
    EXPECT_EQ(font.lfWeight, c.weight);
    EXPECT_EQ(font.lfItalic != 0, c.italic);
    EXPECT_EQ(font.lfUnderline != 0, c.underline);
    EXPECT_EQ(font.lfStrikeOut != 0, c.strikeOut);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
  }
}

// A long text breaks to the screen's width.
TEST_F(OsdTest, IsATopmostToolWindowWithTheTextAndNoOwner) {
  std::string text;
  for (int i = 0; i < 80; ++i) text += "word" + std::to_string(i) + " ";
  ShowOsd(text);
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  EXPECT_TRUE(IsWindowVisible(osd));
  EXPECT_EQ(WindowTextOf(osd), text);
  const RECT rect = WindowRect(osd);
  EXPECT_LE(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_GT(rect.bottom - rect.top, 2 * MeasureInOsdFont("word1").cy);
  const LONG exStyle = GetWindowLongA(osd, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  const LONG style = GetWindowLongA(osd, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_BORDER | WS_CAPTION | WS_THICKFRAME | WS_CHILD),
            LONG(WS_POPUP | WS_BORDER));
  EXPECT_EQ(GetWindow(osd, GW_OWNER), nullptr);
}

TEST_F(OsdTest, NeverTakesActivationOrClicks) {
  ActiveWindow front;
  ASSERT_EQ(GetActiveWindow(), front.window);
  const HWND foreground = GetForegroundWindow();
  ShowOsd("Play : \"Song\" [0:00/3:07]");
  FlushPostedMessages();
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  EXPECT_EQ(GetActiveWindow(), front.window);
  EXPECT_EQ(GetForegroundWindow(), foreground);
  EXPECT_EQ(GetFocus(), front.window);

  // A point of the OSD belongs to the window under it.
  const RECT rect = WindowRect(osd);
  const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  EXPECT_EQ(SendMessageA(osd, WM_NCHITTEST, 0, MAKELPARAM(middle.x, middle.y)), HTTRANSPARENT);
  EXPECT_EQ(WindowFromPoint(middle), front.window);
  EXPECT_EQ(SendMessageA(osd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(front.window),
                         MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);

  // Showing again while on screen changes nothing either.
  ShowOsd("Pause");
  FlushPostedMessages();
  EXPECT_EQ(GetActiveWindow(), front.window);
  EXPECT_EQ(GetForegroundWindow(), foreground);
}

std::atomic<int> gClicksUnder{0};
LRESULT CALLBACK CountClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) ++gClicksUnder;
  return DefWindowProcA(window, message, wParam, lParam);
}

// HTTRANSPARENT alone passes a click only to windows of the OSD's own thread.
TEST_F(OsdTest, AClickOnItReachesAnotherProgramsWindowUnderIt) {
  std::atomic<HWND> under{nullptr};
  Win32Thread program([&] {  // its window goes with the thread
    under = CreateTestWindow("OsdTestUnder", CountClicks, WS_POPUP | WS_VISIBLE, RECT{0, 0, 1024, 768});
    for (MSG message; GetMessageA(&message, nullptr, 0, 0) > 0;) DispatchMessageA(&message);
  });
  ASSERT_TRUE(WaitUntil([&] { return under.load() != nullptr; }));
  ShowOsd("Play");
  SetCursorPos(WindowRect(OsdPlatformWindow()).left + 5, WindowRect(OsdPlatformWindow()).top + 5);
  INPUT click[2] = {};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  EXPECT_TRUE(WaitUntil([] { return gClicksUnder > 0; }));
  PostMessageA(under, WM_QUIT, 0, 0);
}

TEST_F(OsdTest, ASecondShowReplacesTextSizeAndPlaceInTheSameWindow) {
  gSettings.osdPosition = 0;
  ShowOsd("Volume Up");
  HWND first = OsdPlatformWindow();
  ASSERT_NE(first, nullptr);
  const RECT before = WindowRect(first);

  const std::string longer = "Stop after current : \"A much longer title than before\" [12:34/56:07]";
  gSettings.osdPosition = 8;
  ShowOsd(longer);
  EXPECT_EQ(OsdPlatformWindow(), first);
  EXPECT_EQ(WindowTextOf(first), longer);
  // Code 8 on 1024 x 768: right edge on the screen's, bottom edge on the screen's.
  ASSERT_TRUE(OnTheSuitesScreen());
  const SIZE size = WindowSizeFor(MeasureInOsdFont(longer));
  EXPECT_TRUE(SameRect(Place{1024 - size.cx, 768 - size.cy, size.cx, size.cy}, WindowRect(first)));
  EXPECT_GT(WindowRect(first).right - WindowRect(first).left, before.right - before.left);
}

// The OSD stays its display time from its latest show and goes at the first
// check after that: only a check hides it, and once off screen a check brings
// nothing back. The clock runs on across its wrap as a day's clock runs on
// across midnight.
TEST_F(OsdTest, HidesAtTheFirstCheckOnceTheDisplayTimeIsUp) {
  struct Step {
    DWORD at;
    const char* show;  // shown at that time, else null
    bool check;        // the expiry checked, else only the thread's messages run
    bool shown;        // after the step, in the window of the first show
  };
  struct Case {
    const char* label;
    int32_t displayTime;
    std::vector<Step> steps;
  };
  constexpr bool kCheck = true, kPump = false, kShown = true, kGone = false;
  const Step kZeroOrLess[] = {{1000, "Volume Down", kPump, kShown}, {1000, nullptr, kCheck, kGone}};
  // clang-format off
  const Case cases[] = {
      {"300 ms", 300, {{50000, "Next", kPump, kShown}, {50299, nullptr, kCheck, kShown},
       {50400, nullptr, kPump, kShown}, {50300, nullptr, kCheck, kGone}, {50300, nullptr, kCheck, kGone}}},
      {"a second show restarts it", 500, {{10000, "Next", kPump, kShown}, {10300, "Next again", kPump, kShown},
       {10600, nullptr, kCheck, kShown}, {10799, nullptr, kCheck, kShown}, {10800, nullptr, kCheck, kGone}}},
      {"shown 400 ms before the wrap for 1000 ms", 1000, {{0xFFFFFFFFu - 399, "Next", kPump, kShown},
       {0xFFFFFFFFu, nullptr, kCheck, kShown}, {599, nullptr, kCheck, kShown}, {600, nullptr, kCheck, kGone}}},
      {"0", 0, {std::begin(kZeroOrLess), std::end(kZeroOrLess)}},
      {"-1", -1, {std::begin(kZeroOrLess), std::end(kZeroOrLess)}},
      {"-1000", -1000, {std::begin(kZeroOrLess), std::end(kZeroOrLess)}},
  };
  // clang-format on
  for (const Case& c : cases) {
    ManualOsdClock clock(c.steps[0].at);
    gSettings.osdDisplayTime = c.displayTime;
    HWND osd = nullptr;
    for (const Step& step : c.steps) {
      SCOPED_TRACE(testing::Message() << c.label << ", at " << step.at);
      clock.Set(step.at);
      if (step.show != nullptr) ShowOsd(step.show);
      if (osd == nullptr) osd = OsdPlatformWindow();
      ASSERT_NE(osd, nullptr);
      step.check ? CheckOsdExpiry() : PumpMessages();
      EXPECT_EQ(OsdPlatformWindow(), step.shown ? osd : nullptr);
      EXPECT_EQ(IsWindow(osd) != FALSE, step.shown);
      EXPECT_EQ(FindOsdWindow() != nullptr, step.shown);
    }
  }
}

TEST_F(OsdTest, PaintsBackgroundFrameAndTextInTheirColours) {
  struct Case {
    uint32_t background;
    uint32_t text;
    COLORREF expectedBackground;
    COLORREF expectedText;
  };
  const Case cases[] = {
      {0xD5FFFE, 0x000000, RGB(0xFE, 0xFF, 0xD5), RGB(0, 0, 0)},
      {0x0000FF, 0xFFFFFF, RGB(0xFF, 0, 0), RGB(0xFF, 0xFF, 0xFF)},
      // Top bit set: a system colour by its index.
      {0x80000000u | COLOR_INFOBK, 0x80000000u | COLOR_INFOTEXT, GetSysColor(COLOR_INFOBK),
       GetSysColor(COLOR_INFOTEXT)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.background);
    gSettings.osdColor = c.background;
    gSettings.osdFont.color = c.text;
    gSettings.osdFont.bold = true;
    ApplyOsdColor();
    ApplyOsdFont();
    ShowOsd("MMMM WWWW");
    HWND osd = OsdPlatformWindow();
    ASSERT_NE(osd, nullptr);
    const Picture picture = PrintWindowPicture(osd);
    // The text starts 2 px inside the client area, itself inside a 1 px frame.
    EXPECT_EQ(picture.At(1, 1), c.expectedBackground);
    EXPECT_EQ(picture.At(picture.width - 2, picture.height - 2), c.expectedBackground);
    EXPECT_TRUE(std::count(picture.pixels.begin(), picture.pixels.end(), c.expectedText) > 0);
    if (!(IsThemeActive() && IsAppThemed())) {
      EXPECT_EQ(picture.At(0, 0), GetSysColor(COLOR_3DLIGHT));
      EXPECT_EQ(picture.At(picture.width - 1, picture.height - 1), GetSysColor(COLOR_3DDKSHADOW));
    }
    EXPECT_EQ(std::count(picture.pixels.begin(), picture.pixels.end(), RGB(1, 2, 3)), 0)
        << "pixels left unpainted";
  }
}

TEST_F(OsdTest, PaintsItselfOnTheScreen) {
  gSettings.osdColor = RGB(255, 0, 0);
  ApplyOsdColor();
  ShowOsd("Stop : \"Song\" [0:00/3:07]");
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  const RECT rect = WindowRect(osd);
  auto pixel = [](int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
  };
  WaitUntil([&] { return pixel(rect.right - 3, rect.bottom - 3) == RGB(255, 0, 0); });
  const COLORREF inside = pixel(rect.right - 3, rect.bottom - 3);
  const COLORREF corner = pixel(rect.left, rect.top);
  EXPECT_EQ(inside, RGB(255, 0, 0));
  if (!(IsThemeActive() && IsAppThemed())) {
    EXPECT_EQ(corner, GetSysColor(COLOR_3DLIGHT));
  }
}

TEST_F(OsdTest, DrawsAnAmpersandAsItself) {
  // Prefix processing would show four of these eight and underline nothing.
  const std::string text = "&&&&&&&&";
  ShowOsd(text);
  const SIZE all = MeasureInOsdFont(text);
  const SIZE asPrefixes = MeasureInOsdFont(text, DT_WORDBREAK | DT_LEFT);
  ASSERT_GT(all.cx, asPrefixes.cx);
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  RECT client{};
  GetClientRect(osd, &client);
  EXPECT_EQ(client.right, all.cx + 4);
  const Picture picture = PrintWindowPicture(osd);
  const int ink = RightmostInk(picture, picture.At(1, 1));
  // Frame 1 px, inset 2 px: the last ampersand ends near the client's right edge.
  EXPECT_GT(ink, 1 + 2 + asPrefixes.cx);
  EXPECT_LE(ink, 1 + 2 + all.cx);
}

// Hidden, it keeps text, colour and font for the next show.
TEST_F(OsdTest, AColourChangeRepaintsTheOsdOnScreenInPlaceAndAHideKeepsIt) {
  ShowOsd("Repeat On");
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  const RECT before = WindowRect(osd);
  gSettings.osdColor = RGB(0, 128, 0);
  ApplyOsdColor();
  EXPECT_TRUE(SameRect(before, WindowRect(osd)));
  EXPECT_EQ(PrintWindowPicture(osd).At(2, 2), RGB(0, 128, 0));
  // Nothing waits to be painted: the repaint happened at once.
  EXPECT_FALSE(GetUpdateRect(osd, nullptr, FALSE));

  DestroyOsdPlatformWindow();
  EXPECT_EQ(OsdPlatformWindow(), nullptr);
  const HWND neighbour = CreateTestWindow("OsdTestNeighbour", DefWindowProcA, WS_POPUP, RECT{0, 0, 10, 10});
  // Already off screen: a kept stale handle would destroy whatever window took its value.
  DestroyOsdPlatformWindow();
  EXPECT_TRUE(IsWindow(neighbour));
  DestroyWindow(neighbour);
  ShowOsd("Shuffle Off");
  osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  EXPECT_EQ(PrintWindowPicture(osd).At(2, 2), RGB(0, 128, 0));
}

// The replaced font is freed at once, the last one with the OSD.
TEST_F(OsdTest, AFontChangeRepaintsInPlaceAndTheNextShowMeasuresWithIt) {
  const std::string text = "Forward : \"Song\" [1:05/3:07]";
  ShowOsd(text);
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  const RECT small = WindowRect(osd);
  const auto first = reinterpret_cast<HGDIOBJ>(SendMessageA(osd, WM_GETFONT, 0, 0));
  ASSERT_EQ(GetObjectType(first), DWORD(OBJ_FONT));
  gSettings.osdFont.size = 24;
  ApplyOsdFont();
  EXPECT_TRUE(SameRect(small, WindowRect(osd))) << "kept its size and place";
  const auto second = reinterpret_cast<HGDIOBJ>(SendMessageA(osd, WM_GETFONT, 0, 0));
  EXPECT_EQ(GetObjectType(second), DWORD(OBJ_FONT));
  EXPECT_EQ(GetObjectType(first), 0u) << "the replaced font leaked";
  ShowOsd(text);
  // Sized for the text in the new font; the default code 7 keeps the right edge on the screen's.
  ASSERT_TRUE(OnTheSuitesScreen());
  const SIZE size = WindowSizeFor(MeasureInOsdFont(text));
  const RECT now = WindowRect(osd);
  EXPECT_EQ(now.right, 1024);
  EXPECT_EQ(now.right - now.left, size.cx);
  EXPECT_EQ(now.bottom - now.top, size.cy);
  EXPECT_GT(WindowRect(osd).bottom - WindowRect(osd).top, small.bottom - small.top);
  ReleaseOsd();
  EXPECT_EQ(GetObjectType(second), 0u) << "the font outlived the OSD";
}

// OK sets the colour and repaints the OSD; a cancel keeps the colour.
TEST_F(OsdTest, TheColourDialogSetsTheColourAndRepaintsTheOsd) {
  gSettings.osdColor = RGB(10, 20, 30);
  ShowOsd("Info");
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  struct Step {
    std::vector<std::pair<int, const char*>> edits;  // the dialog's red, green and blue boxes
    int button;
  } const steps[] = {{{{706, "200"}, {707, "100"}, {708, "50"}}, IDOK}, {{{706, "1"}}, IDCANCEL}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.button == IDOK ? "OK" : "cancel");
    DialogDriver driver([&step](HWND dialog) {
      for (const auto& [id, text] : step.edits) SetDlgItemTextA(dialog, id, text);
      SendMessageA(dialog, WM_COMMAND, step.button, 0);
    });
    ChooseOsdColor(nullptr);
    EXPECT_TRUE(driver.Found());
    EXPECT_EQ(gSettings.osdColor, uint32_t(RGB(200, 100, 50)));
    EXPECT_EQ(PrintWindowPicture(osd).At(2, 2), RGB(200, 100, 50));
  }
}

int CALLBACK NoteTrueType(const LOGFONTA*, const TEXTMETRICA*, DWORD type, LPARAM found) {
  if (type & TRUETYPE_FONTTYPE) *reinterpret_cast<bool*>(found) = true;
  return 1;
}

// A TrueType face of this system, so that the font dialog lists it.
std::string InstalledFace() {
  for (const char* face : {"Arial", "Tahoma", "Liberation Sans", "DejaVu Sans"}) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &wanted, NoteTrueType, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    if (found) return face;
  }
  return {};
}

// Opens the OSD's font dialog, picks a size in its size list as a click would
// (none: the size it starts with) and leaves by `button`; false when no dialog showed.
bool ChooseInFontDialog(const char* size, int button) {
  DialogDriver driver([=](HWND dialog) {
    constexpr int kSizeBox = 0x472;
    if (size != nullptr) {
      SendDlgItemMessageA(dialog, kSizeBox, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(size));
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kSizeBox, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, kSizeBox)));
    }
    SendMessageA(dialog, WM_COMMAND, button, 0);
  });
  ChooseOsdFont(nullptr);
  return driver.Found();
}

TEST_F(OsdTest, TheFontDialogStartsFromTheOsdFontAndTakesTheChosenOne) {
  const std::string face = InstalledFace();
  if (face.empty()) GTEST_SKIP() << "no known TrueType face on this system";
  gSettings.osdFont.name = face;
  gSettings.osdFont.color = RGB(0, 0, 128);
  gSettings.osdFont.italic = true;
  ApplyOsdFont();
  ShowOsd("Jump : \"Song\" [1:05/3:07]");
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  const RECT before = WindowRect(osd);
  EXPECT_TRUE(ChooseInFontDialog(nullptr, IDOK));
  // OK at once: the dialog handed back what it was given.
  EXPECT_EQ(gSettings.osdFont.name, face);
  EXPECT_EQ(gSettings.osdFont.size, 12);
  EXPECT_EQ(gSettings.osdFont.color, uint32_t(RGB(0, 0, 128)));
  EXPECT_TRUE(gSettings.osdFont.italic);
  EXPECT_FALSE(gSettings.osdFont.bold);
  EXPECT_FALSE(gSettings.osdFont.underline);
  EXPECT_FALSE(gSettings.osdFont.strikeOut);

  EXPECT_TRUE(ChooseInFontDialog("20", IDOK));
  EXPECT_EQ(gSettings.osdFont.size, 20);
  EXPECT_EQ(OsdPlatformWindow(), osd) << "still on screen";
  EXPECT_TRUE(SameRect(before, WindowRect(osd))) << "repainted at its size and place";
  ShowOsd("Jump : \"Song\" [1:05/3:07]");
  EXPECT_GT(WindowRect(osd).bottom - WindowRect(osd).top, before.bottom - before.top);

  EXPECT_TRUE(ChooseInFontDialog("8", IDCANCEL));
  EXPECT_EQ(gSettings.osdFont.size, 20) << "a cancel keeps the font";
}

// "ＭＳ ゴシック" through "Exit" and the next start's reads, then on the OSD.
TEST_F(OsdTest, AFontNameBeyondTheCodePageSurvivesExitAndTheNextStart) {
  const std::string gothic = "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";
  TestInstall install;
  ASSERT_TRUE(OpenSettingsFile());
  gSettings.osdFont.name = gothic;
  gSettings.osdFont.size = 15;
  ASSERT_TRUE(SaveSettings());
  UseSettingsFile(nullptr);
  ASSERT_TRUE(OpenSettingsFile());
  const klv::Settings read = klv::ReadSettings(*CurrentSettingsFile());
  UseSettingsFile(nullptr);
  EXPECT_EQ(read.osdFont.name, gothic);
  EXPECT_EQ(install.IniValue("OSD", "OSDFontSize"), "15") << "an 8-bit reader lost the next key";

  gSettings.osdFont.name = read.osdFont.name;
  ApplyOsdFont();
  ShowOsd("Stop");
  LOGFONTW font{};
  ASSERT_NE(GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(OsdPlatformWindow(), WM_GETFONT, 0, 0)),
                       sizeof(font), &font),
            0);
  EXPECT_STREQ(font.lfFaceName, L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF");

  gSettings.osdFont.name = "Tahoma";  // chosen since: the exact name's key goes
  ASSERT_TRUE(OpenSettingsFile() && SaveSettings());
  UseSettingsFile(nullptr);
  EXPECT_EQ(install.IniValue("OSD", "OSDFontNameUnicode"), "<missing>");
}

TEST_F(OsdTest, DestroyFreesTheWindowClassAndCreateBuildsItAgain) {
  ShowOsd("Stop");
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  char className[64] = {};
  GetClassNameA(osd, className, sizeof(className));
  const HINSTANCE module = reinterpret_cast<HINSTANCE>(GetClassLongPtrA(osd, GCLP_HMODULE));
  ReleaseOsd();
  EXPECT_FALSE(IsWindow(osd));
  WNDCLASSEXA info{};
  info.cbSize = sizeof(info);
  EXPECT_FALSE(GetClassInfoExA(module, className, &info)) << "class left registered";
  ShowOsd("Stop");
  EXPECT_EQ(OsdPlatformWindow(), nullptr) << "no OSD without its window object";
  CheckOsdExpiry();
  EXPECT_EQ(FindOsdWindow(), nullptr) << "a check made a window";

  PrepareOsd();
  ShowOsd("Play");
  EXPECT_NE(OsdPlatformWindow(), nullptr);
}

// ---- The playing track's cover ----

// 2:1, red left and blue right, as the host hands out pixels: fitted into the
// square it fills the middle half of it.
player::ArgbPicture HalvesPicture(int width, int height) {
  player::ArgbPicture picture{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.pixels.push_back(x < width / 2 ? 0xFFFF0000u : 0xFF0000FFu);
  return picture;
}

// The picture as a JPEG file holds it; progressive as saved from the web.
std::vector<uint8_t> JpegOf(const player::ArgbPicture& picture, bool progressive) {
  return EncodeJpeg(PaintBgr(picture.width, picture.height,
                             [&](int x, int y) {
                               const uint32_t argb =
                                   picture.pixels[static_cast<size_t>(y) * picture.width + x];
                               return Bgr{static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 8),
                                          static_cast<uint8_t>(argb >> 16)};
                             }),
                    {95, false, progressive});
}

// Within what JPEG compression of flat blocks keeps.
bool Near(COLORREF got, COLORREF want) {
  return std::abs(GetRValue(got) - GetRValue(want)) <= 12 &&
         std::abs(GetGValue(got) - GetGValue(want)) <= 12 && std::abs(GetBValue(got) - GetBValue(want)) <= 12;
}

// A host of this process naming the playing track, and the cover lookups running.
class CoverTest : public OsdTest {
 protected:
  void SetUp() override {
    OsdTest::SetUp();
    SetHostMainWindow(host.main);
    StartCoverLookups();
    ASSERT_TRUE(OnTheSuitesScreen());
  }
  void TearDown() override {
    StopCoverLookups();
    SetHostMainWindow(nullptr);
    OsdTest::TearDown();
  }
  // The OSD of a Next while the host names path playing.
  void ShowTrack(const std::wstring& path) {
    host.rawAnswers[214] = reinterpret_cast<LRESULT>(path.c_str());
    ShowTrackOsd("Next : \"Song\" [1:05/3:07]");
  }

  TestHost host;
};

TEST_F(CoverTest, ShowsThePlayingTracksCoverLeftOfTheTextWhereverItComesFrom) {
  enum class From { kService, kFolder, kNowhere };
  struct Case {
    const char* label;
    From from;
    int width, height;  // of the picture; 0: a broken picture file
    const char* file;   // the playing entry, under the test's folder unless a URL
    bool showArt;
    bool cover;  // expected beside the text
    bool progressive = false;
  } const cases[] = {
      {"from the service", From::kService, 128, 64, "a\\1.mp3", true, true},
      {"FOLDER.JPG on a host without the service", From::kFolder, 128, 64, "b\\1.mp3", true, true},
      {"a progressive FOLDER.JPG, decoded at an eighth", From::kFolder, 512, 256, "h\\1.mp3", true, true,
       true},
      {"a progressive picture whose scans need more than 24 MB", From::kFolder, 2900, 2900, "i\\1.mp3", true,
       false, true},
      {"the service's picture wider than 4096 px", From::kService, 4097, 2, "c\\1.mp3", true, false},
      {"a folder picture taller than 4096 px", From::kFolder, 8, 4097, "d\\1.mp3", true, false},
      {"a broken folder picture", From::kFolder, 0, 0, "e\\1.mp3", true, false},
      {"no picture anywhere", From::kNowhere, 0, 0, "f\\1.mp3", true, false},
      {"the service has none", From::kService, 0, 0, "j\\1.mp3", true, false},
      {"a stream", From::kService, 128, 64, "http://radio.example/stream", true, false},
      {"OSDShowArt=0", From::kService, 128, 64, "g\\1.mp3", false, false},
  };
  TestInstall folder;
  const DWORD hostThread = GetCurrentThreadId();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const player::ArgbPicture picture = HalvesPicture(c.width, c.height);
    std::atomic<DWORD> lookupThread{0};
    player::AlbumArtService service([&](const std::wstring&, player::ArgbPicture& served) {
      lookupThread = GetCurrentThreadId();
      served = picture;
      return c.width > 0;
    });
    std::string file = c.file;
    if (file.find("://") == std::string::npos) {
      const std::string album = folder.Directory() + "\\" + file.substr(0, file.find('\\'));
      CreateDirectoryA(album.c_str(), nullptr);
      file = folder.Directory() + "\\" + file;
      if (c.from == From::kFolder) {
        std::vector<uint8_t> jpeg = JpegOf(c.width > 0 ? picture : HalvesPicture(64, 64), c.progressive);
        if (c.width == 0) jpeg.resize(jpeg.size() / 2);
        ASSERT_TRUE(WriteWholeFile(album + "\\FOLDER.JPG", std::string(jpeg.begin(), jpeg.end())));
      }
    }
    const std::wstring widePath(file.begin(), file.end());
    // A host without the service answers 1.
    host.rawAnswers[3025] = c.from == From::kService ? reinterpret_cast<LRESULT>(service.Manager()) : 1;
    gSettings.osdShowArt = c.showArt;
    const int threadsBefore = ProcessThreads();
    host.ClearLog();

    ShowTrack(widePath);
    HWND osd = OsdPlatformWindow();
    ASSERT_NE(osd, nullptr);
    // At once with its text alone; the picture, once fetched, grows it to the square's height.
    EXPECT_TRUE(SameRect(Place{820, 373, 204, 25}, WindowRect(osd)));
    if (c.cover) {
      ASSERT_TRUE(WaitUntil([&] { return WindowRect(osd).bottom - WindowRect(osd).top == 70; }));
    } else {
      ASSERT_TRUE(WaitUntil([&] { return ProcessThreads() <= threadsBefore; }));
      FlushPostedMessages();
    }
    ShowTrack(widePath);  // the second show finds it among the kept covers
    EXPECT_TRUE(SameRect(c.cover ? Place{752, 351, 272, 70} : Place{820, 373, 204, 25}, WindowRect(osd)));
    // Only a file is looked up, once; with covers off the host is asked nothing for them.
    const bool lookedUp = c.showArt && file.find("://") == std::string::npos;
    const std::vector<int> asked = host.Requests();
    EXPECT_EQ(std::count(asked.begin(), asked.end(), 214), c.showArt ? 2 : 0);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), 3025), lookedUp ? 1 : 0);
    EXPECT_EQ(service.Lookups(), lookedUp && c.from == From::kService ? 1 : 0);
    if (service.Lookups() > 0) {
      EXPECT_NE(lookupThread.load(), hostThread) << "looked up on the host's thread";
    }
    EXPECT_EQ(service.PicturesOut(), 0) << "every picture freed";
    EXPECT_EQ(service.InterfacesOut(), 0) << "every interface released";
    EXPECT_EQ(service.Faults(), 0) << "a failed lookup's undefined bits freed";
    if (c.cover) {
      // The square at the client's top left, inside frame and inset: the
      // 64 x 32 picture in its middle, the OSD's colour above it.
      const Picture shown = PrintWindowPicture(osd);
      EXPECT_TRUE(Near(shown.At(3 + 16, 3 + 32), RGB(255, 0, 0)));
      EXPECT_TRUE(Near(shown.At(3 + 48, 3 + 32), RGB(0, 0, 255)));
      EXPECT_EQ(shown.At(3 + 32, 3 + 8), gSettings.osdColor);
    }
  }
}

// A cover that arrives once the OSD names another track is kept for the next
// show of its own track, never drawn beside another's text.
TEST_F(CoverTest, ACoverArrivingForAnotherTrackWaitsForItsOwn) {
  const HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  player::AlbumArtService service([&](const std::wstring&, player::ArgbPicture& served) {
    WaitForSingleObject(gate, 5000);
    served = HalvesPicture(128, 64);
    return true;
  });
  gSettings.osdShowArt = true;
  host.rawAnswers[3025] = reinterpret_cast<LRESULT>(service.Manager());
  const std::wstring first = L"C:\\Music\\first.mp3", stream = L"http://radio.example/stream";
  const int threadsBefore = ProcessThreads();
  ShowTrack(first);
  ShowTrack(stream);
  SetEvent(gate);
  ASSERT_TRUE(WaitUntil([&] { return ProcessThreads() <= threadsBefore; }));
  FlushPostedMessages();
  EXPECT_TRUE(SameRect(Place{820, 373, 204, 25}, WindowRect(OsdPlatformWindow())));
  ShowTrack(first);
  EXPECT_TRUE(SameRect(Place{752, 351, 272, 70}, WindowRect(OsdPlatformWindow())));
  EXPECT_EQ(service.Lookups(), 1);
  CloseHandle(gate);
}

// Four lookups at most enter the service. A track shown while all four hang
// waits for a slot, the one shown last taking the first; a lookup that breaks
// off (the service throws) frees its slot and keeps nothing, so the track is
// looked up again.
TEST_F(CoverTest, FourLookupsAtATimeTheNewestWaitingTrackNext) {
  struct Case {
    const char* label;
    int throwing;             // the first lookups throw; none: the service hangs until let go
    std::vector<int> tracks;  // shown in turn; with a service that does not hang, each lookup ends first
    int fifthIn;              // the track whose lookup enters the service fifth
    int lookups;              // in all, once every lookup ended
  } const cases[] = {
      {"a service that hangs, six tracks", 0, {1, 2, 3, 4, 5, 6}, 6, 6},
      {"a service that hangs, the fifth track shown again", 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 5}, 5, 8},
      {"five lookups that throw, then the first track again", 5, {1, 2, 3, 4, 5, 1}, 5, 6},
  };
  gSettings.osdShowArt = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const bool hangs = c.throwing == 0;
    const HANDLE gate = CreateSemaphoreA(nullptr, hangs ? 0 : 100, 100, nullptr);
    CriticalSection lock;
    std::vector<std::wstring> entered;
    player::AlbumArtService service([&](const std::wstring& file, player::ArgbPicture& served) {
      size_t index = 0;
      {
        const CriticalSection::Lock held(lock);
        entered.push_back(file);
        index = entered.size();
      }
      WaitForSingleObject(gate, 10000);
      if (index <= static_cast<size_t>(c.throwing)) throw std::runtime_error("the service broke off");
      served = HalvesPicture(128, 64);
      return true;
    });
    host.rawAnswers[3025] = reinterpret_cast<LRESULT>(service.Manager());
    const int threadsBefore = ProcessThreads();
    auto pathOf = [&](int track) {
      return L"C:\\" + std::wstring(c.label, c.label + 1) + std::to_wstring(track);
    };
    std::wstring path;
    for (int track : c.tracks) {
      path = pathOf(track);
      ShowTrack(path);
      if (!hangs) {
        ASSERT_TRUE(WaitUntil([&] { return ProcessThreads() <= threadsBefore; }));
      }
      FlushPostedMessages();
    }
    if (hangs) {
      ASSERT_TRUE(WaitUntil([&] { return service.Lookups() >= 4; }));
      PumpMessages(200);
      EXPECT_EQ(service.Lookups(), 4);
      ReleaseSemaphore(gate, 1, nullptr);  // one slot frees
      ASSERT_TRUE(WaitUntil([&] { return service.Lookups() >= 5; }));
      ReleaseSemaphore(gate, 99, nullptr);
    }
    WaitUntil([&] { return ProcessThreads() <= threadsBefore && service.Lookups() == c.lookups; });
    FlushPostedMessages();
    EXPECT_EQ(entered.size() >= 5 ? entered[4] : L"", pathOf(c.fifthIn));
    // The last track shown is the OSD's, with its cover.
    EXPECT_TRUE(SameRect(Place{752, 351, 272, 70}, WindowRect(OsdPlatformWindow())));
    EXPECT_EQ(service.Lookups(), c.lookups);
    EXPECT_EQ(service.PicturesOut(), 0);
    EXPECT_EQ(service.InterfacesOut(), 0);
    host.rawAnswers.erase(3025);
    StopCoverLookups();  // a fresh start for the next case: nothing kept
    StartCoverLookups();
    CloseHandle(gate);
  }
}

}  // namespace
