// The host's published message numbers: requests (WM_USER, code in lParam)
// and commands (WM_COMMAND, id in wParam) of the main window.
#pragma once

namespace player {

constexpr int kRequestStartPlayback = 102;
constexpr int kRequestPlayingState = 104;  // 1 playing, 3 paused, 0 stopped
constexpr int kRequestPosition = 105;      // wParam 0: ms, 1: length in s
constexpr int kRequestSeek = 106;
constexpr int kRequestPlaylistIndex = 125;
constexpr int kRequestTitleAt = 212;
constexpr int kRequestWideTitleAt = 213;
constexpr int kRequestShuffle = 250;
constexpr int kRequestRepeat = 251;
constexpr int kRequestSettingsFolder = 1335;  // UTF-16 folder for each user's settings

constexpr int kCommandPrevious = 40044;
constexpr int kCommandPlay = 40045;
constexpr int kCommandPause = 40046;
constexpr int kCommandStop = 40047;
constexpr int kCommandNext = 40048;
constexpr int kCommandForward = 40148;
constexpr int kCommandRewind = 40144;
constexpr int kCommandVolumeUp = 40058;
constexpr int kCommandVolumeDown = 40059;
constexpr int kCommandJumpToSong = 40194;
constexpr int kCommandToggleRepeat = 40022;
constexpr int kCommandToggleShuffle = 40023;
constexpr int kCommandStopAfterCurrent = 40157;
// The stand-in's own: open the plug-ins' configuration, quit the player, and
// end the process at once without quit or unload, as a crash in another
// plug-in would.
constexpr int kCommandPluginConfig = 41000;
constexpr int kCommandQuit = 41001;
constexpr int kCommandExitWithoutQuit = 41002;

}  // namespace player
