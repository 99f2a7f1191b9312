// The OSD window: one tooltip-style popup that shows the last OSD text until
// the main-window hook finds its display time run out.
#include "plugin/osd/osd_window.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/cover/cover_art.h"
#include "core/osd/osd_animation.h"
#include "core/osd/osd_placement.h"
#include "plugin/osd/osd_monitor.h"
#include "plugin/osd/osd_style.h"
#include "plugin/plugin_state.h"
#include "win32/text_encoding.h"
#include "win32/this_module.h"
#include "win32/win_handles.h"

namespace {

constexpr wchar_t kOsdClassName[] = L"KelvoOsdWindow";
constexpr int kTextInset = 2;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_LEFT;
// HTTRANSPARENT passes a click only to windows of this thread: a layered,
// transparent window passes it to any program's window under the OSD.
constexpr DWORD kInputTransparent = WS_EX_LAYERED | WS_EX_TRANSPARENT;

using AnimateWindowFunction = BOOL(WINAPI*)(HWND, DWORD, DWORD);

// Everything the OSD holds, from PrepareOsd to ReleaseOsd.
struct Osd {
  bool prepared = false;
  UniqueWindowClass windowClass;
  AnimateWindowFunction animateWindow = nullptr;  // null where the system has none
  OsdClock clock = nullptr;                       // null: the tick count

  UniqueWindow window;  // only while the OSD is on screen
  std::wstring text;    // the window text too; a Unicode window, so that any title shows
  SIZE textExtent{};
  OsdCover cover;
  klv::MonitorRect monitor{};  // the one chosen at the last show
  uint32_t backgroundColor = 0;
  UniqueFont font;
  uint32_t fontColor = 0;
  // The end of the last show, 0 before the first: it starts the display time
  // and spaces the next animation. Differences stay right across the wrap.
  DWORD shownAt = 0;
  // The display's monitors, read at the first show and again after a display
  // change: under Wine each monitor query costs server round trips.
  std::vector<klv::MonitorRect> monitors;
};

Osd gOsd;

DWORD Now() { return gOsd.clock != nullptr ? gOsd.clock() : GetTickCount(); }

bool PlatformHasDropShadow() {
  const DWORD version = GetVersion();
  const int major = LOBYTE(LOWORD(version));
  const int minor = HIBYTE(LOWORD(version));
  return major > 5 || (major == 5 && minor >= 1);
}

bool ShowsCover() { return gOsd.cover.picture != nullptr && gOsd.cover.side > 0; }

// The text, and left of it the cover's square when there is a picture, with
// the shorter of the two centred beside the other.
SIZE ContentExtent() {
  if (!ShowsCover()) return gOsd.textExtent;
  const int side = gOsd.cover.side;
  return SIZE{side + klv::kCoverGap + gOsd.textExtent.cx, std::max<LONG>(side, gOsd.textExtent.cy)};
}

// The picture centred in its square; the rest of the square is the background.
void PaintCover(HDC dc, int contentHeight) {
  const klv::BgrImage& picture = *gOsd.cover.picture;
  const int side = gOsd.cover.side;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const int x = kTextInset + (side - picture.width) / 2;
  const int y = kTextInset + (contentHeight - side) / 2 + (side - picture.height) / 2;
  SetDIBitsToDevice(dc, x, y, picture.width, picture.height, 0, 0, 0, picture.height, picture.pixels.data(),
                    &info, DIB_RGB_COLORS);
}

void PaintClient(HDC dc, const RECT& client) {
  UniqueBrush background(CreateSolidBrush(ResolveOsdColor(gOsd.backgroundColor)));
  FillRect(dc, &client, background.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveOsdColor(gOsd.fontColor));
  SelectedObject font(dc,
                      gOsd.font ? static_cast<HGDIOBJ>(gOsd.font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
  RECT textRect = client;
  textRect.left += kTextInset;
  textRect.top += kTextInset;
  if (ShowsCover()) {
    const SIZE content = ContentExtent();
    PaintCover(dc, content.cy);
    textRect.left += gOsd.cover.side + klv::kCoverGap;
    textRect.top += (content.cy - gOsd.textExtent.cy) / 2;
  }
  DrawTextW(dc, gOsd.text.c_str(), static_cast<int>(gOsd.text.size()), &textRect, kTextFormat);
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
      return reinterpret_cast<LRESULT>(gOsd.font.Get());
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
      if (gOsd.window.Get() == window) gOsd.window.Release();
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterOsdClass() {
  if (gOsd.windowClass) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS | CS_SAVEBITS;
  if (PlatformHasDropShadow()) windowClass.style |= CS_DROPSHADOW;
  windowClass.lpfnWndProc = OsdWindowProc;
  windowClass.hInstance = ThisModule();
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kOsdClassName;
  gOsd.windowClass = UniqueWindowClass(windowClass);
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

const std::vector<klv::MonitorRect>& Monitors() {
  if (gOsd.monitors.empty()) gOsd.monitors = DisplayMonitors();
  return gOsd.monitors;
}

// The text's extent when broken at word boundaries to fit the monitor's width.
SIZE MeasureText(const std::wstring& text, int monitorWidth) {
  WindowDc screen(nullptr);
  SelectedObject font(screen.Get(),
                      gOsd.font ? static_cast<HGDIOBJ>(gOsd.font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
  RECT extent{0, 0, monitorWidth, 0};
  DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &extent, kTextFormat | DT_CALCRECT);
  return SIZE{extent.right - extent.left, extent.bottom - extent.top};
}

// Measures the text beside the cover, if any, and places the whole on the monitor of the show.
klv::OsdRect LayOut() {
  const int coverWidth = ShowsCover() ? gOsd.cover.side + klv::kCoverGap : 0;
  gOsd.textExtent = MeasureText(gOsd.text, gOsd.monitor.right - gOsd.monitor.left - coverWidth);
  const SIZE content = ContentExtent();
  return klv::PlaceOsd(gSettings.osdPosition, content.cx, content.cy, gOsd.monitor);
}

// A layered window shows only once its alpha is set. A fade may take the
// layered style away when it ends: it is given back.
void MakeInputTransparent(HWND window) {
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  if ((exStyle & kInputTransparent) != kInputTransparent) {
    SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle | kInputTransparent);
  }
  SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
}

void AnimateShow(HWND window, size_t textLength, int windowTop) {
  POINT cursor{};
  klv::OsdShowConditions show{};
  show.msSinceLastShowEnd = Now() - gOsd.shownAt;
  show.textLength = textLength;
  show.animateWindowAvailable = gOsd.animateWindow != nullptr;
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
  gOsd.animateWindow(window, klv::kOsdAnimationTimeMs, AW_SLIDE | direction);
  MakeInputTransparent(window);
}

void RepaintOnScreen() {
  if (HWND window = gOsd.window.Get()) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  }
}

}  // namespace

void ApplyOsdFont() {
  const LOGFONTW font = OsdLogFont();
  gOsd.font.Reset(CreateFontIndirectW(&font));
  gOsd.fontColor = gSettings.osdFont.color;
  RepaintOnScreen();
}

void ApplyOsdColor() {
  gOsd.backgroundColor = gSettings.osdColor;
  RepaintOnScreen();
}

void PrepareOsd() {
  ResetOsdFontCharacter();
  if (gOsd.animateWindow == nullptr) gOsd.animateWindow = FindAnimateWindow();
  RegisterOsdClass();
  ForgetOsdScreen();
  gOsd.backgroundColor = gSettings.osdColor;
  ApplyOsdFont();
  gOsd.prepared = true;
}

void ForgetOsdScreen() { gOsd.monitors.clear(); }

// The texts come from the portable composition in UTF-8, one form for the
// host's 8-bit and wide titles alike, so a wide title reaches this window
// through UTF-8: converting a short text twice costs microseconds beside the
// window calls below, and keeps the composition testable without Windows.
void ShowOsd(const std::string& utf8Text, OsdCover cover) {
  if (!gOsd.prepared) return;
  const std::vector<klv::MonitorRect>& monitors = Monitors();
  const klv::MonitorRect monitor = monitors[ChosenOsdMonitor(gSettings.osdMonitor, monitors)];
  // A full-screen program on another monitor leaves the OSD alone. Only the
  // OSD is skipped; the caller's action has run.
  if (gSettings.osdHideFullScreen && FullScreenProgramOver(monitor)) return;
  gOsd.text = Utf8ToWide(utf8Text);
  gOsd.cover = std::move(cover);
  gOsd.monitor = monitor;
  const klv::OsdRect place = LayOut();

  if (HWND window = gOsd.window.Get()) {
    SetWindowTextW(window, gOsd.text.c_str());
  } else {
    // Topmost from the start, so that the move below need not restack it.
    gOsd.window.Reset(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | kInputTransparent, kOsdClassName,
                                      gOsd.text.c_str(), WS_POPUP | WS_BORDER, place.x, place.y, place.width,
                                      place.height, nullptr, nullptr, gOsd.windowClass.Module(), nullptr));
    if (gOsd.window) MakeInputTransparent(gOsd.window.Get());
  }
  HWND window = gOsd.window.Get();
  if (window == nullptr) return;
  SetWindowPos(window, HWND_TOPMOST, place.x, place.y, place.width, place.height, SWP_NOACTIVATE);

  AnimateShow(window, gOsd.text.size(), place.y);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  // The client only: a new size repaints the frame by itself, an unchanged one keeps it.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);
  gOsd.shownAt = Now();
}

void OfferOsdCover(const std::u16string& path, std::shared_ptr<const klv::BgrImage> picture) {
  HWND window = gOsd.window.Get();
  if (window == nullptr || picture == nullptr || ShowsCover() || gOsd.cover.path != path) return;
  gOsd.cover.picture = std::move(picture);
  const klv::OsdRect place = LayOut();
  // The display time goes on from the show: the picture only completes it.
  SetWindowPos(window, HWND_TOPMOST, place.x, place.y, place.width, place.height, SWP_NOACTIVATE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);
}

void CheckOsdExpiry() {
  if (!gOsd.prepared || !gOsd.window) return;
  const int32_t displayTime = gSettings.osdDisplayTime;
  const DWORD elapsed = Now() - gOsd.shownAt;
  if (displayTime <= 0 || elapsed >= static_cast<DWORD>(displayTime)) DestroyOsdPlatformWindow();
}

void DestroyOsdPlatformWindow() { gOsd.window.Reset(); }

void ReleaseOsd() {
  DestroyOsdPlatformWindow();
  gOsd.font.Reset();
  gOsd.prepared = false;
  gOsd.windowClass.Reset();
}

HWND OsdPlatformWindow() { return gOsd.window.Get(); }

void SetOsdClock(OsdClock clock) { gOsd.clock = clock; }
