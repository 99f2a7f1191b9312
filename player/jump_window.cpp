// "Jump to file": a modeless list of the playlist; a double-click or the
// button plays the chosen entry.
#include "player/player_app.h"

namespace player {
namespace {

constexpr int kListId = 100;
constexpr int kJumpButtonId = IDOK;

void FillList(HWND list) {
  const Playback& playback = gApp->playback;
  for (int i = 0; i < playback.Count(); ++i) {
    std::wstring line = std::to_wstring(i + 1) + L". " + playback.TrackAt(i)->wideTitle;
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(playback.Index()), 0);
}

void JumpToSelection(HWND window) {
  HWND list = GetDlgItem(window, kListId);
  LRESULT selection = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (selection == LB_ERR) return;
  gApp->playback.JumpTo(static_cast<int>(selection), GetTickCount());
  AnnounceChanges();
  RefreshPlayerWindows();
  DestroyWindow(window);
}

void CreateControls(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  HWND list = CreateFaceControl(window, WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                RECT{8, 8, client.right - 8, client.bottom - 40}, kListId);
  CreateFaceControl(window, 0, L"BUTTON", L"Jump to file", WS_TABSTOP | BS_DEFPUSHBUTTON,
                    RECT{client.right - 108, client.bottom - 32, client.right - 8, client.bottom - 8},
                    kJumpButtonId);
  FillList(list);
  SetFocus(list);
}

std::optional<LRESULT> HandleJumpMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_CREATE:
      CreateControls(window);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kJumpButtonId || (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_DBLCLK)) {
        JumpToSelection(window);
      } else if (LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      if (gApp->jumpWindow == window) gApp->jumpWindow = nullptr;
      return 0;
  }
  return std::nullopt;
}

}  // namespace

void ShowJumpWindow() {
  if (gApp->jumpWindow != nullptr) {
    SetForegroundWindow(gApp->jumpWindow);
    return;
  }
  gApp->jumpWindow =
      CreatePlayerWindow(kJumpClass, "Jump to file", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 480, 200, 380,
                         260, GetModuleHandleA(nullptr), gApp->classicHost ? nullptr : gApp->mainWindow);
  if (gApp->jumpWindow == nullptr) return;
  ShowWindow(gApp->jumpWindow, SW_SHOWNORMAL);
  SetForegroundWindow(gApp->jumpWindow);
}

LRESULT CALLBACK JumpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return FramedWindowProc(kJumpClass, HandleJumpMessage, window, message, wParam, lParam);
}

}  // namespace player
