// The main window: answers the host requests, carries out the commands and
// shows title, clock and modes. Its timer is the player's heartbeat.
#include <windows.h>
#include <commctrl.h>

#include "player/message_log.h"
#include "player/player_app.h"
#include "player/player_profile.h"
#include "player/stand_in_commands.h"
#include "player/track_titles.h"

namespace player {
namespace {

constexpr UINT_PTR kClockTimer = 1;
constexpr UINT_PTR kExitTimer = 2;
constexpr UINT_PTR kShowTimer = 3;
constexpr UINT kClockPeriodMs = 250;
constexpr int kSkipMs = 5000;
constexpr int kVolumeStep = 4;  // of 255, as the player's own

LRESULT PlayingState(PlayState state) {
  switch (state) {
    case PlayState::kPlaying:
      return 1;
    case PlayState::kPaused:
      return 3;
    default:
      return 0;
  }
}

LRESULT HandleRequest(int code, WPARAM wParam) {
  Playback& playback = gApp->playback;
  uint32_t now = GetTickCount();
  playback.Tick(now);
  switch (code) {
    case klv::kHostStartPlayback:
      playback.Play(now);
      AnnounceChanges();
      RefreshPlayerWindows();
      return 0;
    case klv::kHostPlayingState:
      return PlayingState(playback.State());
    case klv::kHostPosition:
      if (wParam == 0) return playback.PositionMs(now);
      if (wParam == 1) return playback.LengthSeconds();
      return -1;
    case klv::kHostSeek:
      if (playback.State() == PlayState::kStopped) return -1;
      // Past the end the player moves on, as if the track had ended.
      playback.Seek(static_cast<int>(wParam), now);
      AnnounceChanges();
      RefreshPlayerWindows();
      return 0;
    case klv::kHostPlaylistIndex:
      return playback.Index();
    case klv::kHostTitleAt: {
      // The playlist's own storage: it stays put as long as the player runs.
      const Track* track = playback.TrackAt(static_cast<int>(wParam));
      return track != nullptr ? reinterpret_cast<LRESULT>(track->title.c_str()) : 0;
    }
    case klv::kHostWideTitleAt: {
      // An older host does not know the request: it answers 0.
      const Track* track = playback.TrackAt(static_cast<int>(wParam));
      if (!gApp->wideTitles || track == nullptr) return 0;
      return reinterpret_cast<LRESULT>(track->wideTitle.c_str());
    }
    case klv::kHostSettingsFolder:
      return gApp->settingsFolder.empty() ? 0 : reinterpret_cast<LRESULT>(gApp->settingsFolder.c_str());
    case klv::kHostShuffleState:
      return playback.Shuffle() ? 1 : 0;
    case klv::kHostRepeatState:
      return playback.Repeat() ? 1 : 0;
    case klv::kHostVolume:
      if (static_cast<intptr_t>(wParam) == klv::kHostVolumeQuery) return playback.Volume();
      // As the player does: the low byte of whatever it is given.
      playback.SetVolume(static_cast<int>(wParam & 0xFF));
      AnnounceChanges();
      RefreshPlayerWindows();
      return 0;
    case klv::kHostFileAt: {
      // As the host does: one buffer of its own, good until the next request.
      static std::string path;
      const Track* track = playback.TrackAt(static_cast<int>(wParam));
      if (track == nullptr) return 0;
      path = ToAnsi(track->path);
      return reinterpret_cast<LRESULT>(path.c_str());
    }
  }
  if (!gApp->classicHost) {
    switch (code) {
      case klv::kHostSkinInfo:
      case klv::kHostSkinInfoWide:
      case klv::kHostDialogParent:
        return SkinAnswer(code);
      case klv::kHostSkinChanged:
        return 0;
      case klv::kHostWideFileAt: {
        const Track* track = playback.TrackAt(static_cast<int>(wParam));
        return track != nullptr ? reinterpret_cast<LRESULT>(track->path.c_str()) : 0;
      }
      case klv::kHostServices:
        return gApp->albumArt ? reinterpret_cast<LRESULT>(gApp->albumArt->Manager()) : 0;
      case klv::kHostRating: {
        const Track* track = playback.TrackAt(playback.Index());
        return track != nullptr ? track->rating : 0;
      }
      case klv::kHostSetRating:
        playback.SetRating(static_cast<int>(wParam));
        return 1;
    }
  }
  return 1;  // as the player answers a request it does not know
}

bool HandleCommand(uint32_t id) {
  Playback& playback = gApp->playback;
  uint32_t now = GetTickCount();
  playback.Tick(now);
  switch (id) {
    case klv::kCommandPrevious:
      playback.Previous(now);
      break;
    case klv::kCommandPlay:
      playback.Play(now);
      break;
    case klv::kCommandPause:
      playback.Pause(now);
      break;
    case klv::kCommandStop:
      playback.Stop(now);
      break;
    case klv::kCommandNext:
      playback.Next(now);
      break;
    case klv::kCommandForward:
      playback.SkipBy(kSkipMs, now);
      break;
    case klv::kCommandRewind:
      playback.SkipBy(-kSkipMs, now);
      break;
    case klv::kCommandVolumeUp:
      playback.ChangeVolume(kVolumeStep);
      break;
    case klv::kCommandVolumeDown:
      playback.ChangeVolume(-kVolumeStep);
      break;
    case klv::kCommandJumpToSong:
      ShowJumpWindow();
      break;
    case klv::kCommandToggleRepeat:
      playback.ToggleRepeat();
      break;
    case klv::kCommandToggleShuffle:
      playback.ToggleShuffle();
      break;
    case klv::kCommandStopAfterCurrent:
      playback.ToggleStopAfterCurrent();
      break;
    case kCommandPluginConfig:
      ConfigurePlugins(gApp->plugins);
      break;
    case kCommandQuit:
      PostMessageA(gApp->mainWindow, WM_CLOSE, 0, 0);
      break;
    case kCommandExitWithoutQuit:
      LogEvent("exit without quit");
      ExitProcess(9);
    case kCommandModernSkin:
    case kCommandClassicSkin:
      SwitchSkin(id == kCommandModernSkin);
      break;
    case kCommandMinimiseToTray:
      ShowWindow(gApp->mainWindow, SW_HIDE);
      break;
    case kCommandRestoreFromTray:
      ShowWindow(gApp->mainWindow, SW_RESTORE);
      ShowWindow(gApp->mainWindow, SW_SHOW);
      SetForegroundWindow(gApp->mainWindow);
      break;
    default:
      return false;
  }
  AnnounceChanges();
  RefreshPlayerWindows();
  return true;
}

const char* StateName(PlayState state) {
  switch (state) {
    case PlayState::kPlaying:
      return "Playing";
    case PlayState::kPaused:
      return "Paused";
    default:
      return "Stopped";
  }
}

const char* OnOff(bool on) { return on ? "on" : "off"; }

void PaintFace(HWND window) {
  const FacePaint face(window);
  HDC dc = face.dc;
  const Playback& playback = gApp->playback;
  uint32_t now = GetTickCount();

  const Track* track = playback.TrackAt(playback.Index());
  const std::wstring title =
      track != nullptr ? std::to_wstring(playback.Index() + 1) + L". " + track->wideTitle : L"(no track)";
  std::string clock = std::string(StateName(playback.State())) + "    " +
                      FormatClock(playback.PositionMs(now)) + " / " +
                      FormatClock(playback.LengthSeconds() * 1000);
  char modes[160];
  wsprintfA(modes, "Repeat: %s    Shuffle: %s    Stop after current: %s", OnOff(playback.Repeat()),
            OnOff(playback.Shuffle()), OnOff(playback.StopAfterCurrent()));
  char volume[64];
  wsprintfA(volume, "Volume: %d%%", playback.VolumePercent());

  RECT line{10, 6, face.client.right - 10, 24};
  DrawTextW(dc, title.c_str(), -1, &line, kFaceLineFormat);
  OffsetRect(&line, 0, 20);
  DrawTextA(dc, clock.c_str(), -1, &line, kFaceLineFormat);
  OffsetRect(&line, 0, 20);
  DrawTextA(dc, modes, -1, &line, kFaceLineFormat);
  OffsetRect(&line, 0, 20);
  DrawTextA(dc, volume, -1, &line, kFaceLineFormat);
  DrawClassTag(dc, face.client, klv::kMainWindowClass, DT_LEFT | DT_BOTTOM);
  // The slider follows a volume set by any means.
  HWND slider = GetDlgItem(window, kVolumeSliderId);
  if (slider != nullptr && SendMessageW(slider, TBM_GETPOS, 0, 0) != playback.Volume())
    SendMessageW(slider, TBM_SETPOS, TRUE, playback.Volume());
}

// The controls of the face: the volume slider and the Pause button beside the
// volume line, the plug-ins' configuration at the bottom.
void CreateFaceControls(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  HWND slider = CreateFaceControl(window, 0, TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP,
                                  RECT{100, 64, 300, 86}, kVolumeSliderId);
  SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, Playback::kMaxVolume));
  SendMessageW(slider, TBM_SETPOS, TRUE, gApp->playback.Volume());
  CreateFaceControl(window, 0, L"BUTTON", L"Pause", BS_PUSHBUTTON,
                    RECT{client.right - 90, 62, client.right - 10, 86}, static_cast<int>(klv::kCommandPause));
  CreateFaceControl(window, 0, L"BUTTON", L"Plug-in configuration...", BS_PUSHBUTTON,
                    RECT{client.right - 170, client.bottom - 30, client.right - 10, client.bottom - 6},
                    static_cast<int>(kCommandPluginConfig));
}

// The slider moved by the user: the volume it names, told as any change is.
void FollowVolumeSlider(HWND slider) {
  gApp->playback.SetVolume(static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0)));
  AnnounceChanges();
  RefreshPlayerWindows();
}

std::optional<LRESULT> HandleMainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      ShowTrackInCaption(window);
      CreateFaceControls(window);
      SetTimer(window, kClockTimer, kClockPeriodMs, nullptr);
      if (gApp->exitAfterMs != 0) SetTimer(window, kExitTimer, gApp->exitAfterMs, nullptr);
      return 0;
    case WM_USER:
      return HandleRequest(static_cast<int>(lParam), wParam);
    case WM_COMMAND:
      if (HandleCommand(LOWORD(wParam))) return 0;
      break;
    case WM_HSCROLL:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kVolumeSliderId) {
        FollowVolumeSlider(reinterpret_cast<HWND>(lParam));
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == kShowTimer) {
        KillTimer(window, kShowTimer);
        ShowPlayerWindows();
      } else if (wParam == kExitTimer) {
        KillTimer(window, kExitTimer);
        LogEvent("exit time reached");
        PostMessageA(window, WM_CLOSE, 0, 0);
      } else if (wParam == kClockTimer) {
        int before = gApp->playback.Index();
        PlayState stateBefore = gApp->playback.State();
        gApp->playback.Tick(GetTickCount());
        // A request's own tick may have moved to the next entry unseen.
        ShowTrackInCaption(window);
        const bool started = AnnounceChanges();
        if (started || gApp->playback.Index() != before || gApp->playback.State() != stateBefore) {
          RefreshPlayerWindows();
        } else {
          InvalidateRect(window, nullptr, TRUE);
          if (gApp->skinMainWindow != nullptr) InvalidateRect(gApp->skinMainWindow, nullptr, TRUE);
        }
      }
      return 0;
    case WM_PAINT:
      PaintFace(window);
      return 0;
    case WM_CLOSE:
      // Plug-ins are shut down after the message loop, outside any of
      // their hooks (FreeLibrary must not pull code from under a frame).
      LogEvent("main window closed");
      if (gApp->classicHost) {
        PostQuitMessage(0);
      } else {
        // The 5.x player stops, and its windows are gone before any quit.
        gApp->playback.Stop(GetTickCount());
        AnnounceChanges();
        DestroyWindow(window);
      }
      return 0;
    case WM_DISPLAYCHANGE:
      FollowDisplayChange();
      break;
    case WM_ENDSESSION:
      if (gApp->classicHost || wParam == FALSE) break;
      // A log-off: quit with the windows still there, then the system ends us.
      LogEvent("session ends");
      QuitPlugins(gApp->plugins);
      SavePlayerState(gApp->directory, gApp->playback);
      LogEvent("exit");
      ExitProcess(0);
    case WM_DESTROY:
      KillTimer(window, kClockTimer);
      KillTimer(window, kExitTimer);
      KillTimer(window, kShowTimer);
      if (!gApp->classicHost) PostQuitMessage(0);
      return 0;
  }
  return std::nullopt;
}

}  // namespace

void ShowPlayerWindowsOnceTheLoopRuns() { SetTimer(gApp->mainWindow, kShowTimer, 10, nullptr); }

void ShowTrackInCaption(HWND mainWindow) {
  static int shown = -1;
  const Playback& playback = gApp->playback;
  const Track* track = playback.TrackAt(playback.Index());
  if (mainWindow == nullptr || track == nullptr || playback.Index() == shown) return;
  shown = playback.Index();
  const std::string number = std::to_string(shown + 1) + ". ";
  if (gApp->classicHost) {
    SetWindowTextA(mainWindow, (number + track->title + " - Winamp").c_str());
  } else {
    SetWindowTextW(mainWindow, (Widen(number.c_str()) + track->wideTitle + L" - Winamp").c_str());
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return FramedWindowProc(klv::kMainWindowClass, HandleMainMessage, window, message, wParam, lParam);
}

}  // namespace player
