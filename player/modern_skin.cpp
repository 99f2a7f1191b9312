// The modern skin, run as the 5.x player's skin engine runs one: the skin's
// own windows stand in front (owned by the main window), the playlist lives
// inside one of them, the equalizer is hidden, and the classic main window
// stays, unseen, on its monitor's bottom row, where it keeps the taskbar
// button.
#include "player/message_log.h"
#include "player/player_app.h"
#include "player/stand_in_commands.h"

namespace player {
namespace {

constexpr wchar_t kSkinNameWide[] = L"Stand-in Modern";
constexpr char kSkinName[] = "Stand-in Modern";
constexpr int kHeaderHeight = 22;  // the container's title strip above the playlist
constexpr COLORREF kSkinText = RGB(230, 236, 245);

// Where the classic windows stood before the skin took them, for the way back.
RECT gClassicMainPlace{};
RECT gClassicPlaylistPlace{};
DWORD gClassicPlaylistStyle = 0;

HWND CreateSkinWindow(const char* caption, const RECT& place) {
  return CreatePlayerWindow(klv::kSkinWindowClass, caption, WS_POPUP | WS_CLIPCHILDREN, place.left, place.top,
                            place.right - place.left, place.bottom - place.top, GetModuleHandleW(nullptr),
                            gApp->mainWindow);
}

void SetExtendedStyle(HWND window, DWORD add, DWORD remove) {
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  SetWindowLongPtrW(window, GWL_EXSTYLE, (style | add) & ~static_cast<LONG_PTR>(remove));
}

// Unseen at the monitor's left edge, its top on the bottom pixel row of the
// monitor the skin's main window is on.
void ParkMainWindow() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(gApp->skinMainWindow, MONITOR_DEFAULTTONEAREST), &monitor);
  SetWindowPos(gApp->mainWindow, nullptr, monitor.rcMonitor.left, monitor.rcMonitor.bottom - 1, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PaintSkinWindow(HWND window) {
  const FacePaint face(window);
  FillRect(face.dc, &face.client, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
  SetTextColor(face.dc, kSkinText);
  RECT line{10, 4, face.client.right - 10, kHeaderHeight};
  if (window != gApp->skinMainWindow) {
    DrawTextA(face.dc, "Playlist", -1, &line, kFaceLineFormat);
    return;
  }
  const Playback& playback = gApp->playback;
  const Track* track = playback.TrackAt(playback.Index());
  const std::wstring title =
      track != nullptr ? std::to_wstring(playback.Index() + 1) + L". " + track->wideTitle : L"(no track)";
  const std::string clock =
      FormatClock(playback.PositionMs(GetTickCount())) + " / " + FormatClock(playback.LengthSeconds() * 1000);
  DrawTextW(face.dc, kSkinNameWide, -1, &line, kFaceLineFormat);
  OffsetRect(&line, 0, 30);
  DrawTextW(face.dc, title.c_str(), -1, &line, kFaceLineFormat);
  OffsetRect(&line, 0, 20);
  DrawTextA(face.dc, clock.c_str(), -1, &line, kFaceLineFormat);
  DrawClassTag(face.dc, face.client, klv::kSkinWindowClass, DT_LEFT | DT_BOTTOM);
}

std::optional<LRESULT> HandleSkinMessage(HWND window, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_PAINT:
      PaintSkinWindow(window);
      return 0;
    case WM_CLOSE:
      // The skin's close button closes the player.
      PostMessageW(gApp->mainWindow, WM_CLOSE, 0, 0);
      return 0;
  }
  return std::nullopt;
}

void LoadClassicSkin() {
  HWND main = gApp->mainWindow;
  HWND playlist = gApp->playlistWindow;
  const bool shown = IsWindowVisible(main) != FALSE;
  SetExtendedStyle(main, 0, WS_EX_LAYERED);
  SetWindowPos(main, nullptr, gClassicMainPlace.left, gClassicMainPlace.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A window of its own again, owned by the main window, at its old place.
  ShowWindow(playlist, SW_HIDE);
  SetParent(playlist, nullptr);
  SetWindowLongPtrW(playlist, GWL_STYLE, static_cast<LONG_PTR>(gClassicPlaylistStyle & ~WS_VISIBLE));
  SetWindowLongPtrW(playlist, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(main));
  SetWindowPos(playlist, nullptr, gClassicPlaylistPlace.left, gClassicPlaylistPlace.top,
               gClassicPlaylistPlace.right - gClassicPlaylistPlace.left,
               gClassicPlaylistPlace.bottom - gClassicPlaylistPlace.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  DestroyWindow(gApp->skinPlaylistWindow);
  DestroyWindow(gApp->skinMainWindow);
  gApp->skinPlaylistWindow = nullptr;
  gApp->skinMainWindow = nullptr;
  if (shown) {
    ShowWindow(playlist, SW_SHOWNA);
    ShowWindow(gApp->equalizerWindow, SW_SHOWNA);
  }
}

}  // namespace

void LoadModernSkin() {
  HWND main = gApp->mainWindow;
  HWND playlist = gApp->playlistWindow;
  const bool shown = IsWindowVisible(main) != FALSE;
  GetWindowRect(main, &gClassicMainPlace);
  GetWindowRect(playlist, &gClassicPlaylistPlace);
  gClassicPlaylistStyle = static_cast<DWORD>(GetWindowLongPtrW(playlist, GWL_STYLE));
  RECT skinMain = gClassicMainPlace;
  RECT container = gClassicPlaylistPlace;
  container.bottom += kHeaderHeight;
  gApp->skinMainWindow = CreateSkinWindow(kSkinName, skinMain);
  gApp->skinPlaylistWindow = CreateSkinWindow("Playlist", container);

  // The child style before the new parent, as SetParent asks.
  SetWindowLongPtrW(playlist, GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  SetParent(playlist, gApp->skinPlaylistWindow);
  SetWindowPos(playlist, nullptr, 0, kHeaderHeight, container.right - container.left,
               container.bottom - container.top - kHeaderHeight,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ShowWindow(gApp->equalizerWindow, SW_HIDE);

  SetExtendedStyle(main, WS_EX_LAYERED, 0);
  SetLayeredWindowAttributes(main, 0, 0, LWA_ALPHA);
  ParkMainWindow();
  // The skin's own opacity; at full opacity its windows are not layered.
  if (gApp->skinAlpha < 255) {
    for (HWND window : {gApp->skinMainWindow, gApp->skinPlaylistWindow}) {
      SetExtendedStyle(window, WS_EX_LAYERED, 0);
      SetLayeredWindowAttributes(window, 0, gApp->skinAlpha, LWA_ALPHA);
    }
  }
  if (shown) ShowModernSkin();
}

void ShowModernSkin() {
  // The main window shows, unseen, for its taskbar button; the skin's main window last, the active one.
  ShowWindow(gApp->mainWindow, SW_SHOWNA);
  for (HWND window : {gApp->skinPlaylistWindow, gApp->skinMainWindow}) {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
  }
}

void SwitchSkin(bool modern) {
  if (gApp->classicHost || (gApp->skinMainWindow != nullptr) == modern) return;
  if (modern) {
    LoadModernSkin();
  } else {
    LoadClassicSkin();
  }
  LogEvent("%s skin loaded", modern ? "modern" : "classic");
  PostMessageW(gApp->mainWindow, WM_USER, 0, klv::kHostSkinChanged);
}

void FollowDisplayChange() {
  if (gApp->classicHost) return;
  if (gApp->skinMainWindow != nullptr) ParkMainWindow();
  PostMessageW(gApp->mainWindow, WM_USER, 0, klv::kHostSkinChanged);
}

LRESULT SkinAnswer(int code) {
  HWND skin = gApp->skinMainWindow;
  switch (code) {
    case klv::kHostSkinInfo:
      return skin != nullptr ? reinterpret_cast<LRESULT>(kSkinName) : 0;
    case klv::kHostSkinInfoWide:
      return skin != nullptr ? reinterpret_cast<LRESULT>(kSkinNameWide) : 0;
    default:  // klv::kHostDialogParent
      return reinterpret_cast<LRESULT>(skin != nullptr ? skin : gApp->mainWindow);
  }
}

LRESULT CALLBACK SkinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return FramedWindowProc(klv::kSkinWindowClass, HandleSkinMessage, window, message, wParam, lParam);
}

}  // namespace player
