// The host player's contract, as both the plug-in and the stand-in player
// read it: the class names of its windows, the requests and notices on its
// main window (WM_USER, the code in lParam), and its commands (WM_COMMAND,
// the id in wParam). Nothing else spells these names and numbers.
#pragma once

#include <cstdint>

namespace klv {

// --- Window classes --------------------------------------------------------
constexpr char kMainWindowClass[] = "Winamp v1.x";
constexpr char kPlaylistWindowClass[] = "Winamp PE";
constexpr char kEqualizerWindowClass[] = "Winamp EQ";
// A modern skin's own windows: popups owned by the main window, which stand
// in for the three above while the skin is loaded.
constexpr char kSkinWindowClass[] = "BaseWindow_RootWnd";

// --- Requests: WM_USER to the main window, the code in lParam ---------------
constexpr int kHostStartPlayback = 102;
constexpr int kHostPlayingState = 104;  // 1 playing, 3 paused, 0 stopped
constexpr int kHostPosition = 105;      // wParam 0: position in ms; 1: length in s
constexpr int kHostSeek = 106;
// With wParam kHostVolumeQuery: the volume, 0..255; with 0..255: sets it (the
// host takes the low byte of any other value).
constexpr int kHostVolume = 122;
constexpr intptr_t kHostVolumeQuery = -666;
constexpr int kHostPlaylistIndex = 125;
constexpr int kHostFileAt = 211;       // 8-bit path of a playlist entry
constexpr int kHostWideFileAt = 214;   // UTF-16 path; no address from a host that has none
constexpr int kHostTitleAt = 212;      // 8-bit title, in the system's ANSI code page
constexpr int kHostWideTitleAt = 213;  // UTF-16 title; 0 or -1 from a host that has none
constexpr int kHostShuffleState = 250;
constexpr int kHostRepeatState = 251;
constexpr int kHostSetRating = 639;  // wParam: the playing track's rating, 0..5
constexpr int kHostRating = 640;     // the playing track's rating
// The folder the host keeps each user's settings in, as UTF-16 text; 0 or 1
// from a host that has none.
constexpr int kHostSettingsFolder = 1335;
// The host's service manager (win32/host/host_services.h); no address from a host without one.
constexpr int kHostServices = 3025;
// The skin's name while a modern skin is loaded, an address like a title's
// (8-bit; 1633 UTF-16); 0 under a classic skin, 1 from a host without skins.
constexpr int kHostSkinInfo = 633;
constexpr int kHostSkinInfoWide = 1633;
// The window to own a plug-in's dialogs: the skin's main window under a
// modern skin, the main window otherwise.
constexpr int kHostDialogParent = 365;

// Whether an answer to a request that returns an address (211-214, 1335, 3025) can
// be read through. Nothing is ever mapped in the first or the last 64 KB of
// the address space, so an answer there (0, 1, -1, a small integer from a
// host that does not know the request) is no answer.
constexpr bool IsHostAddress(intptr_t answer) {
  constexpr uintptr_t kGuard = 0x10000;
  const auto value = static_cast<uintptr_t>(answer);
  return value >= kGuard && value <= UINTPTR_MAX - kGuard;
}

// --- Notices: WM_USER the host sends its own main window --------------------
// As playback of a file begins, the 8-bit path and then the UTF-16 one in wParam.
constexpr int kHostTrackStarted = 3003;
constexpr int kHostTrackStartedWide = 13003;
// Posted (not sent) by the 5.x host after a switch of skin.
constexpr int kHostSkinChanged = 3018;
// Posted by the 5.x host, what changed in wParam: the title at every start,
// stop and pause; the volume or the balance, whoever changed it; the playing
// state (start, stop, pause); from 5.65 on also paused and resumed, after the
// title and the state.
constexpr int kHostChanged = 603;
enum HostChange : intptr_t {
  kChangedTitle = 0,
  kChangedVolume = 1,
  kChangedState = 2,
  kChangedPaused = 7,
  kChangedResumed = 8
};
// Sent by the 5.57 host and later once playback stopped, before the notices
// of the stop are posted; wParam points at a HostStopInfo.
constexpr int kHostStopped = 3043;
struct HostStopInfo {
  int32_t lastTimeMs;
  int32_t fullStop;
};

// --- Commands: WM_COMMAND to the main window, the id in wParam --------------
constexpr uint32_t kCommandPrevious = 40044;
constexpr uint32_t kCommandPlay = 40045;
constexpr uint32_t kCommandPause = 40046;
constexpr uint32_t kCommandStop = 40047;
constexpr uint32_t kCommandNext = 40048;
constexpr uint32_t kCommandForward = 40148;
constexpr uint32_t kCommandRewind = 40144;
constexpr uint32_t kCommandVolumeUp = 40058;
constexpr uint32_t kCommandVolumeDown = 40059;
constexpr uint32_t kCommandJumpToSong = 40194;
constexpr uint32_t kCommandToggleRepeat = 40022;
constexpr uint32_t kCommandToggleShuffle = 40023;
constexpr uint32_t kCommandStopAfterCurrent = 40157;

}  // namespace klv
