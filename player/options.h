// Command line of the stand-in player.
#pragma once

#include <string>

namespace player {

struct Options {
  bool writeRegistry = true;  // --no-registry leaves HKCU\Software\Winamp alone
  std::string logPath;        // --log FILE
  unsigned exitAfterMs = 0;   // --exit-after MS; 0 runs until closed
  bool wideTitles = true;     // --no-wide-titles: request 213 answers 0, as an older host
  bool perUser = false;       // --per-user: request 1335 answers the per-user settings folder
  // --2x: the older 2.x player: 8-bit windows, no track-start notifications,
  // and its start and close order.
  bool classicHost = false;
  bool play = false;         // --play: playback asked for on the command line
  bool modernSkin = false;   // --modern: starts with a modern skin (the 5.x player only)
  unsigned skinAlpha = 255;  // --skin-alpha 0..255: the opacity the modern skin gives its windows
};

// False (with a reason) for an unknown option, a missing or bad value, or a
// modern skin asked of the 2.x player.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

}  // namespace player
