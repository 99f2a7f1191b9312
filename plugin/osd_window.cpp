// The OSD window: one tooltip-style popup that shows the last OSD text until
// the main-window hook finds its display time run out.
#include "plugin/osd_window.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include <string>

#include "core/osd_animation.h"
#include "core/osd_placement.h"
#include "plugin/osd_style.h"
#include "plugin/plugin_state.h"
#include "plugin/text_encoding.h"
#include "plugin/this_module.h"
#include "plugin/win_handles.h"

namespace {

constexpr wchar_t kOsdClassName[] = L"KelvoOsdWindow";
constexpr int kTextInset = 2;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_LEFT;

using AnimateWindowFunction = BOOL(WINAPI*)(HWND, DWORD, DWORD);

// The parts of OsdFont the settings file has no keys for.
struct OsdFont {
  BYTE charSet = DEFAULT_CHARSET;
  BYTE pitchAndFamily = DEFAULT_PITCH;
};

struct OsdWindow {
  UniqueWindow window;  // only while the OSD is on screen
  std::wstring text;    // the window text too; a Unicode window, so that any title shows
  uint32_t backgroundColor = 0;
  UniqueFont font;
  uint32_t fontColor = 0;
  DWORD osdShownAt = 0;   // tick count; differences stay right across its wrap
  DWORD lastShowEnd = 0;  // tick count, 0 before the first show
  // Read at the first show and again after a display change: under Wine each
  // of the six metrics costs a server round trip.
  klv::ScreenMetrics screen{};
  bool screenKnown = false;
};

OsdFont gOsdFont;
OsdWindow gOsdWindow;
bool gOsdWindowCreated = false;
ATOM gOsdClass = 0;
HINSTANCE gOsdClassModule = nullptr;
AnimateWindowFunction gAnimateWindow = nullptr;
OsdClock gOsdClock = nullptr;  // null: the tick count

DWORD Now() { return gOsdClock != nullptr ? gOsdClock() : GetTickCount(); }

bool PlatformHasDropShadow() {
  const DWORD version = GetVersion();
  const int major = LOBYTE(LOWORD(version));
  const int minor = HIBYTE(LOWORD(version));
  return major > 5 || (major == 5 && minor >= 1);
}

void PaintClient(HDC dc, const RECT& client) {
  UniqueBrush background(CreateSolidBrush(ResolveOsdColor(gOsdWindow.backgroundColor)));
  FillRect(dc, &client, background.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveOsdColor(gOsdWindow.fontColor));
  SelectedObject font(
      dc, gOsdWindow.font ? static_cast<HGDIOBJ>(gOsdWindow.font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
  RECT textRect = client;
  textRect.left += kTextInset;
  textRect.top += kTextInset;
  DrawTextW(dc, gOsdWindow.text.c_str(), static_cast<int>(gOsdWindow.text.size()), &textRect, kTextFormat);
}

// dc has its origin at the window's top-left corner.
void PaintFrame(HWND window, HDC dc) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  RECT frame{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
  if (IsThemeActive() && IsAppThemed()) {
    if (HTHEME theme = OpenThemeData(window, L"TOOLTIP")) {
      DrawThemeEdge(theme, dc, TTP_STANDARD, 0, &frame, BDR_RAISEDOUTER, BF_RECT, nullptr);
      CloseThemeData(theme);
      return;
    }
  }
  DrawEdge(dc, &frame, BDR_RAISEDOUTER, BF_RECT);
}

POINT ClientOriginInWindow(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return POINT{origin.x - bounds.left, origin.y - bounds.top};
}

// AnimateWindow draws the window through WM_PRINT before it is visible, and may
// ask with PRF_CHECKVISIBLE: the finished OSD is painted whatever the visibility.
void PrintWindowContent(HWND window, HDC dc, LPARAM flags) {
  if (flags & PRF_CLIENT) {
    const POINT origin = ClientOriginInWindow(window);
    RECT client;
    GetClientRect(window, &client);
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    PaintClient(dc, client);
    RestoreDC(dc, saved);
  }
  if (flags & PRF_NONCLIENT) PaintFrame(window, dc);
}

LRESULT CALLBACK OsdWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(gOsdWindow.font.Get());
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole client area
    case WM_NCPAINT: {
      const WindowDc frame = WindowDc::WithFrame(window);
      if (frame.Get() != nullptr) PaintFrame(window, frame.Get());
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (HDC dc = BeginPaint(window, &paint)) {
        RECT client;
        GetClientRect(window, &client);
        PaintClient(dc, client);
        EndPaint(window, &paint);
      }
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(window, &client);
      PaintClient(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_PRINT:
      PrintWindowContent(window, reinterpret_cast<HDC>(wParam), lParam);
      return 0;
    case WM_DISPLAYCHANGE:
      ForgetOsdScreen();
      break;
    case WM_NCDESTROY:
      // Destroyed by someone else, for instance with its thread: forget it.
      if (gOsdWindow.window.Get() == window) gOsdWindow.window.Release();
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterOsdClass() {
  if (gOsdClass != 0) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS | CS_SAVEBITS;
  if (PlatformHasDropShadow()) windowClass.style |= CS_DROPSHADOW;
  windowClass.lpfnWndProc = OsdWindowProc;
  windowClass.hInstance = ThisModule();
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kOsdClassName;
  gOsdClass = RegisterClassExW(&windowClass);
  if (gOsdClass != 0) gOsdClassModule = windowClass.hInstance;
}

AnimateWindowFunction FindAnimateWindow() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return nullptr;
  // Through void* so that the compiler accepts the cast between function types.
  return reinterpret_cast<AnimateWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(user32, "AnimateWindow")));
}

bool SystemFlag(UINT action) {
  BOOL on = FALSE;
  return SystemParametersInfoA(action, 0, &on, 0) && on;
}

klv::ScreenMetrics CurrentScreen() {
  return klv::ScreenMetrics{GetSystemMetrics(SM_CXSCREEN),        GetSystemMetrics(SM_CYSCREEN),
                            GetSystemMetrics(SM_XVIRTUALSCREEN),  GetSystemMetrics(SM_YVIRTUALSCREEN),
                            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The text's extent when broken at word boundaries to fit the primary screen's width.
SIZE MeasureText(const std::wstring& text, int screenWidth) {
  WindowDc screen(nullptr);
  SelectedObject font(screen.Get(), gOsdWindow.font ? static_cast<HGDIOBJ>(gOsdWindow.font.Get())
                                                    : GetStockObject(DEFAULT_GUI_FONT));
  RECT extent{0, 0, screenWidth, 0};
  DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &extent, kTextFormat | DT_CALCRECT);
  return SIZE{extent.right - extent.left, extent.bottom - extent.top};
}

void AnimateShow(HWND window, size_t textLength, int windowTop) {
  POINT cursor{};
  klv::OsdShowConditions show{};
  show.msSinceLastShowEnd = Now() - gOsdWindow.lastShowEnd;
  show.textLength = textLength;
  show.animateWindowAvailable = gAnimateWindow != nullptr;
  show.tooltipAnimation = SystemFlag(SPI_GETTOOLTIPANIMATION);
  show.tooltipFade = SystemFlag(SPI_GETTOOLTIPFADE);
  show.windowTop = windowTop;
  klv::OsdAnimation animation = klv::ChooseOsdAnimation(show);
  // The cursor only picks a slide's direction, and reading it is a server round trip.
  if (animation == klv::OsdAnimation::kSlideUp || animation == klv::OsdAnimation::kSlideDown) {
    show.cursorKnown = GetCursorPos(&cursor) != FALSE;
    show.cursorY = cursor.y;
    animation = klv::ChooseOsdAnimation(show);
  }
  DWORD direction = 0;
  switch (animation) {
    case klv::OsdAnimation::kNone:
      return;
    case klv::OsdAnimation::kBlend:
      direction = AW_BLEND;
      break;
    case klv::OsdAnimation::kSlideUp:
      direction = AW_VER_NEGATIVE;
      break;
    case klv::OsdAnimation::kSlideDown:
      direction = AW_VER_POSITIVE;
      break;
  }
  gAnimateWindow(window, klv::kOsdAnimationTimeMs, AW_SLIDE | direction);
}

void RepaintOnScreen() {
  if (HWND window = gOsdWindow.window.Get()) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  }
}

}  // namespace

COLORREF ResolveOsdColor(uint32_t color) {
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

LOGFONTA OsdLogFont() {
  const klv::OsdFontSettings& fontSettings = gSettings.osdFont;
  LOGFONTA font{};
  WindowDc screen(nullptr);
  font.lfHeight = -MulDiv(fontSettings.size, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
  font.lfWeight = fontSettings.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = fontSettings.italic;
  font.lfUnderline = fontSettings.underline;
  font.lfStrikeOut = fontSettings.strikeOut;
  font.lfCharSet = gOsdFont.charSet;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = gOsdFont.pitchAndFamily;
  lstrcpynA(font.lfFaceName, fontSettings.name.c_str(), LF_FACESIZE);
  return font;
}

void KeepOsdFontCharacter(BYTE charSet, BYTE pitchAndFamily) {
  gOsdFont.charSet = charSet;
  gOsdFont.pitchAndFamily = pitchAndFamily;
}

void ApplyOsdFont() {
  const LOGFONTA font = OsdLogFont();
  gOsdWindow.font.Reset(CreateFontIndirectA(&font));
  gOsdWindow.fontColor = gSettings.osdFont.color;
  RepaintOnScreen();
}

void ApplyOsdColor() {
  gOsdWindow.backgroundColor = gSettings.osdColor;
  RepaintOnScreen();
}

void CreateOsdWindow() {
  gOsdFont = OsdFont{};
  if (gAnimateWindow == nullptr) gAnimateWindow = FindAnimateWindow();
  RegisterOsdClass();
  ForgetOsdScreen();
  gOsdWindow.backgroundColor = gSettings.osdColor;
  ApplyOsdFont();
  gOsdWindowCreated = true;
}

void ForgetOsdScreen() { gOsdWindow.screenKnown = false; }

void ShowOsd(const std::string& utf8Text) {
  if (!gOsdWindowCreated) return;
  const std::wstring text = Utf8ToWide(utf8Text);
  if (!gOsdWindow.screenKnown) {
    gOsdWindow.screen = CurrentScreen();
    gOsdWindow.screenKnown = true;
  }
  const klv::ScreenMetrics screen = gOsdWindow.screen;
  const SIZE extent = MeasureText(text, screen.screenWidth);
  const klv::OsdRect place = klv::PlaceOsd(gSettings.osdPosition, extent.cx, extent.cy, screen);

  gOsdWindow.text = text;
  if (HWND window = gOsdWindow.window.Get()) {
    SetWindowTextW(window, text.c_str());
  } else {
    // Topmost from the start, so that the move below need not restack it.
    gOsdWindow.window.Reset(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kOsdClassName, text.c_str(),
                                            WS_POPUP | WS_BORDER, place.x, place.y, place.width, place.height,
                                            nullptr, nullptr, gOsdClassModule, nullptr));
  }
  HWND window = gOsdWindow.window.Get();
  if (window == nullptr) return;
  SetWindowPos(window, HWND_TOPMOST, place.x, place.y, place.width, place.height, SWP_NOACTIVATE);

  AnimateShow(window, text.size(), place.y);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  // The client only: a new size repaints the frame by itself, an unchanged one keeps it.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);

  // The end of this show both starts the display time and spaces the next animation.
  gOsdWindow.lastShowEnd = gOsdWindow.osdShownAt = Now();
}

void CheckOsdExpiry() {
  if (!gOsdWindowCreated || !gOsdWindow.window) return;
  const int32_t displayTime = gSettings.osdDisplayTime;
  const DWORD elapsed = Now() - gOsdWindow.osdShownAt;
  if (displayTime <= 0 || elapsed >= static_cast<DWORD>(displayTime)) HideOsd();
}

void HideOsd() { gOsdWindow.window.Reset(); }

void DestroyOsdWindow() {
  HideOsd();
  gOsdWindow.font.Reset();
  gOsdWindowCreated = false;
  if (gOsdClass != 0 && UnregisterClassW(kOsdClassName, gOsdClassModule)) {
    gOsdClass = 0;
    gOsdClassModule = nullptr;
  }
}

HWND OsdPlatformWindow() { return gOsdWindow.window.Get(); }

void SetOsdClock(OsdClock clock) { gOsdClock = clock; }
