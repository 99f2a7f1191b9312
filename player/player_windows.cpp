// Classes, placement and lifetime of the player's windows.
#include <cstring>
#include <iterator>
#include <utility>

#include "core/host_codes.h"
#include "player/message_log.h"
#include "player/player_app.h"

namespace player {
namespace {

struct WindowPlacement {
  const char* className;
  const char* caption;
  WNDPROC procedure;
  HWND PlayerApp::*slot;
  int x, y, width, height;
  DWORD style;
};

// Stacked down the left edge of a 1024x768 screen: the right side stays
// free for the plug-in's OSD.
constexpr DWORD kSideStyle = WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX;
const WindowPlacement kPlacements[] = {
    {klv::kMainWindowClass, "Winamp", MainWindowProc, &PlayerApp::mainWindow, 40, 40, 420, 150,
     kSideStyle | WS_SYSMENU},
    {klv::kPlaylistWindowClass, "Winamp Playlist Editor", PlaylistWindowProc, &PlayerApp::playlistWindow, 40,
     200, 420, 260, kSideStyle},
    {klv::kEqualizerWindowClass, "Winamp Equalizer", EqualizerWindowProc, &PlayerApp::equalizerWindow, 40,
     470, 420, 130, kSideStyle},
};

}  // namespace

bool RegisterPlayerClasses(HINSTANCE instance) {
  const std::pair<const char*, WNDPROC> classes[] = {
      {klv::kMainWindowClass, MainWindowProc},           {klv::kPlaylistWindowClass, PlaylistWindowProc},
      {klv::kEqualizerWindowClass, EqualizerWindowProc}, {kJumpClass, JumpWindowProc},
      {klv::kSkinWindowClass, SkinWindowProc},  // both of a modern skin's windows
  };
  for (const auto& [name, procedure] : classes) {
    auto fill = [&, procedure = procedure](auto& windowClass) {
      windowClass.lpfnWndProc = procedure;
      windowClass.hInstance = instance;
      windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
      windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
      windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    };
    // The 5.x player's classes are Unicode ones, the 2.x player's 8-bit.
    const std::wstring wideName = Widen(name);
    WNDCLASSA narrow{};
    WNDCLASSW wide{};
    fill(narrow);
    fill(wide);
    narrow.lpszClassName = name;
    wide.lpszClassName = wideName.c_str();
    if ((gApp->classicHost ? RegisterClassA(&narrow) : RegisterClassW(&wide)) == 0) return false;
  }
  return true;
}

bool CreatePlayerWindows(HINSTANCE instance) {
  for (const WindowPlacement& place : kPlacements) {
    // The 5.x player's playlist and equalizer are popups owned by the main
    // window (which comes first): their root owner is the main window.
    HWND owner = gApp->classicHost ? nullptr : gApp->mainWindow;
    DWORD style = place.style | (owner != nullptr ? WS_POPUP : 0);
    HWND window = CreatePlayerWindow(place.className, place.caption, style, place.x, place.y, place.width,
                                     place.height, instance, owner);
    if (window == nullptr) return false;
    gApp->*place.slot = window;
  }
  return true;
}

void ShowPlayerWindows() {
  if (gApp->skinMainWindow != nullptr) {
    ShowModernSkin();
  } else {
    // The main window last, so that it starts as the active one.
    for (auto it = std::rbegin(kPlacements); it != std::rend(kPlacements); ++it) {
      ShowWindow(gApp->*(it->slot), SW_SHOWNORMAL);
      UpdateWindow(gApp->*(it->slot));
    }
  }
  LogEvent("windows shown");
}

HWND CreatePlayerWindow(const char* className, const char* caption, DWORD style, int x, int y, int width,
                        int height, HINSTANCE instance, HWND owner) {
  if (gApp->classicHost) {
    return CreateWindowExA(0, className, caption, style, x, y, width, height, owner, nullptr, instance,
                           nullptr);
  }
  return CreateWindowExW(0, Widen(className).c_str(), Widen(caption).c_str(), style, x, y, width, height,
                         owner, nullptr, instance, nullptr);
}

std::wstring Widen(const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); }

void DestroyPlayerWindows() {
  HWND PlayerApp::*const slots[] = {&PlayerApp::jumpWindow, &PlayerApp::equalizerWindow,
                                    &PlayerApp::playlistWindow, &PlayerApp::mainWindow};
  for (HWND PlayerApp::*slot : slots) {
    if (gApp->*slot != nullptr) DestroyWindow(gApp->*slot);
    gApp->*slot = nullptr;
  }
}

int RestoreOwnWindowProcedures() {
  int restored = 0;
  for (const WindowPlacement& place : kPlacements) {
    HWND window = gApp->*place.slot;
    auto own = reinterpret_cast<LONG_PTR>(place.procedure);
    // Asked with the other kind, the system answers a stand-in handle, not our procedure.
    const bool wide = !gApp->classicHost;
    if (window == nullptr || (wide ? GetWindowLongPtrW : GetWindowLongPtrA)(window, GWLP_WNDPROC) == own) {
      continue;
    }
    LogEvent("window procedure of %s still foreign after unload; restored", place.className);
    (wide ? SetWindowLongPtrW : SetWindowLongPtrA)(window, GWLP_WNDPROC, own);
    ++restored;
  }
  return restored;
}

void RefreshPlayerWindows() {
  ShowTrackInCaption(gApp->mainWindow);
  for (HWND window : {gApp->mainWindow, gApp->playlistWindow, gApp->equalizerWindow, gApp->skinMainWindow}) {
    if (window != nullptr) InvalidateRect(window, nullptr, TRUE);
  }
}

std::string FormatClock(int milliseconds) {
  if (milliseconds < 0) return "-:--";
  int seconds = milliseconds / 1000;
  char text[32];
  wsprintfA(text, "%d:%02d", seconds / 60, seconds % 60);
  return text;
}

// Arial, made once for the process: unlike the stock GUI font (and Wine's
// own Tahoma, which has no Greek) it holds Cyrillic and Greek, so every title
// of the playlist reads as it is.
HFONT FaceFont() {
  static const HFONT font = [] {
    HFONT made =
        CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    return made != nullptr ? made : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

LRESULT FramedWindowProc(const char* className, MessageHandler handle, HWND window, UINT message,
                         WPARAM wParam, LPARAM lParam) noexcept {
  LogMessage(className, message, wParam, lParam);
  try {
    if (const std::optional<LRESULT> answer = handle(window, message, wParam, lParam)) return *answer;
  } catch (...) {
    return 0;
  }
  return gApp->classicHost ? DefWindowProcA(window, message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

FacePaint::FacePaint(HWND window)
    : window(window), dc(BeginPaint(window, &paint)), oldFont(SelectObject(dc, FaceFont())) {
  SetBkMode(dc, TRANSPARENT);
  GetClientRect(window, &client);
}

FacePaint::~FacePaint() {
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

HWND CreateFaceControl(HWND parent, DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                       RECT place, int id) {
  HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, place.left,
                                 place.top, place.right - place.left, place.bottom - place.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FaceFont()), FALSE);
  return control;
}

void DrawClassTag(HDC dc, const RECT& client, const char* className, UINT corner) {
  RECT area{client.left + 10, client.top + 4, client.right - 10, client.bottom - 4};
  COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawTextA(dc, className, -1, &area, DT_SINGLELINE | DT_NOPREFIX | corner);
  SetTextColor(dc, oldColor);
}

}  // namespace player
