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
  // --2x: the older 2.x player: 8-bit windows and no track-start notifications.
  bool classicHost = false;
};

// False (with a reason) for an unknown option or a missing value.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

}  // namespace player
