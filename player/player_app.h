// The player's one process-wide state, shared by its windows and WinMain.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player/album_art_service.h"
#include "player/playback.h"
#include "player/plugin_host.h"

namespace player {

struct PlayerApp {
  std::string directory;  // the exe's directory, no trailing backslash
  Playback playback;
  HWND mainWindow = nullptr;
  HWND playlistWindow = nullptr;
  HWND equalizerWindow = nullptr;
  HWND jumpWindow = nullptr;
  std::vector<LoadedPlugin> plugins;
  UINT exitAfterMs = 0;
  bool wideTitles = true;  // answers request 213
  // The 2.x player: 8-bit windows, no track-start notifications, and its
  // start and close order; the default is the 5.x player.
  bool classicHost = false;
  // Answered to request 1335; empty answers 0, as a host older than per-user settings.
  std::wstring settingsFolder{};
  // The modern skin's main window and playlist container while one is
  // loaded (the 5.x player only), and the opacity it gives them.
  HWND skinMainWindow = nullptr;
  HWND skinPlaylistWindow = nullptr;
  BYTE skinAlpha = 255;
  // The 5.x player's album art service (request 3025); none in the 2.x player.
  std::unique_ptr<AlbumArtService> albumArt{};
};

extern PlayerApp* gApp;

constexpr char kJumpClass[] = "KlvPlayerJump";

// Unicode windows, or 8-bit ones for the 2.x player (classicHost).
bool RegisterPlayerClasses(HINSTANCE instance);
// The 5.x player's playlist and equalizer are owned by its main window, the
// 2.x player's stand alone; none is shown yet.
bool CreatePlayerWindows(HINSTANCE instance);
void ShowPlayerWindows();
// The 5.x player shows its windows from a timer once its loop runs, after
// the plug-ins' init.
void ShowPlayerWindowsOnceTheLoopRuns();
// `owner` null for a window of its own.
HWND CreatePlayerWindow(const char* className, const char* caption, DWORD style, int x, int y, int width,
                        int height, HINSTANCE instance, HWND owner = nullptr);
std::wstring Widen(const char* ascii);
void DestroyPlayerWindows();
// Puts back the player's own procedure where a plug-in left its hook behind;
// returns how many windows needed it.
int RestoreOwnWindowProcedures();
// Repaints the faces and names the current entry in the main window's caption.
void RefreshPlayerWindows();
// "3. <title> - Winamp" when the entry changed since the last call, as the
// real player's caption and taskbar button name the current track.
void ShowTrackInCaption(HWND mainWindow);
// The 5.x host's notices to its own main window of what changed since the
// last call: track starts, stops, pauses, resumes and the volume; true when a
// track started.
bool AnnounceChanges();
void ShowJumpWindow();

// The modern skin (modern_skin.cpp). Loaded at start before the plug-ins,
// or by a switch, which posts the skin-changed notice; shown with the windows.
void LoadModernSkin();
void ShowModernSkin();
void SwitchSkin(bool modern);
// The main window parked again on its monitor, and the notice posted, as the
// 5.x player does after a display change.
void FollowDisplayChange();
// The answer to a skin or dialog-parent request.
LRESULT SkinAnswer(int code);

// A window's own answer to a message, or none for the default one.
using MessageHandler = std::optional<LRESULT> (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The frame of the player's window procedures: the message logged, then the
// handler's answer or the default one; nothing escapes into the system.
LRESULT FramedWindowProc(const char* className, MessageHandler handle, HWND window, UINT message,
                         WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK PlaylistWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK EqualizerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK JumpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK SkinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Text and font shared by the faces.
std::string FormatClock(int milliseconds);  // "m:ss", "-:--" for negative
HFONT FaceFont();
// One line of a face; DT_NOPREFIX: a title's "&" is a character, not a mnemonic.
constexpr UINT kFaceLineFormat = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER;

// A face's WM_PAINT: the DC with the face font and transparent text, and the
// client area; the font goes back and the paint ends when it goes.
struct FacePaint {
  explicit FacePaint(HWND window);
  ~FacePaint();
  FacePaint(const FacePaint&) = delete;
  FacePaint& operator=(const FacePaint&) = delete;

  HWND window;
  PAINTSTRUCT paint{};
  HDC dc;
  RECT client{};
  HGDIOBJ oldFont;
};

// A control of a face or dialog, in the face font, with the id WM_COMMAND reports.
HWND CreateFaceControl(HWND parent, DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                       RECT place, int id);
// The class name in grey in a corner: the faces have no frame without a
// window manager, so screenshots say which window is which.
void DrawClassTag(HDC dc, const RECT& client, const char* className, UINT corner);

}  // namespace player
