// The OSD texts, composed from fresh answers of the host.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace klv {

// Host request codes (WM_USER with the code in lParam).
constexpr int kHostStartPlayback = 102;
constexpr int kHostPlayingState = 104;  // 1 playing, 3 paused, 0 stopped
constexpr int kHostPosition = 105;      // wParam 0: position in ms; 1: length in s
constexpr int kHostSeek = 106;
constexpr int kHostPlaylistIndex = 125;
constexpr int kHostTitleAt = 212;
constexpr int kHostShuffleState = 250;
constexpr int kHostRepeatState = 251;

constexpr size_t kMaxTitleLength = 255;

// Sends one request to the host and returns its answer. Code 212 answers with
// the address of a NUL-terminated title (or 0).
using HostQuery = std::function<intptr_t(int code, intptr_t wParam)>;

std::string TrackTitleText(const HostQuery& host);
std::string TrackTimeText(const HostQuery& host);
// Pure form of the time text, for position in ms and length in s.
std::string FormatTrackTime(int32_t positionMs, int32_t lengthSeconds);
// The text of an action's row; empty for rows outside the table and for
// Play/Pause, which shows the text of the row it chose (ChoosePlayPause).
std::string ActionOsdText(int row, const HostQuery& host);
std::string StartupOsdText(const HostQuery& host);

}  // namespace klv
