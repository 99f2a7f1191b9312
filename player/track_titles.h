// Each track's two titles, the ANSI one and the wide one, completed from
// each other in the system's code page, as a real host keeps them.
#pragma once

#include <string>
#include <vector>

#include "player/playback.h"

namespace player {

std::vector<Track> WithBothTitles(std::vector<Track> tracks);
// Characters the code page cannot hold come out as "?", never as look-alikes.
std::string ToAnsi(const std::wstring& text);

}  // namespace player
