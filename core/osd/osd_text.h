// The OSD texts, composed from fresh answers of the host.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/host_codes.h"

namespace klv {

constexpr size_t kMaxTitleLength = 255;  // bytes of an 8-bit title, UTF-16 units of a wide one

// Sends one request to the host and returns its answer. Codes 212 and 213
// answer with the address of a NUL-terminated title, or no address
// (IsHostAddress).
using HostQuery = std::function<intptr_t(int code, intptr_t wParam)>;
// The host's 8-bit title, read in the system's ANSI code page, as UTF-8.
using AnsiToUtf8 = std::function<std::string(std::string_view bytes)>;

struct OsdHost {
  HostQuery query;
  AnsiToUtf8 ansiToUtf8;  // for hosts without wide titles
};

// The texts are UTF-8. The title comes from the wide title (213) when the
// host has one, else from the 8-bit title (212).
std::string TrackTitleText(const OsdHost& host);
std::string TrackTimeText(const HostQuery& host);
// Pure form of the time text, for position in ms and length in s.
std::string FormatTrackTime(int32_t positionMs, int32_t lengthSeconds);
// The text of an action's row; empty for rows outside the table and for
// Play/Pause, which shows the text of the row it chose (ChoosePlayPause).
// With volumeLevel the volume rows add the host's level ("Volume Up : 62%");
// the rating rows show the rating read back only when it is ratingSet, the
// one the action just set (-1: none).
std::string ActionOsdText(int row, const OsdHost& host, bool volumeLevel = false, int32_t ratingSet = -1);
std::string StartupOsdText(const OsdHost& host);
// A volume of 0..255 as a change made by other means and Mute's way back
// show it ("Volume : 39%"); "Volume" alone for a value that is no volume.
std::string VolumeOsdText(int32_t volume);

}  // namespace klv
