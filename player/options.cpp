#include "player/options.h"

#include <cstdlib>
#include <cstring>

namespace player {

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (std::strcmp(arg, "--no-registry") == 0) {
      options.writeRegistry = false;
    } else if (std::strcmp(arg, "--no-wide-titles") == 0) {
      options.wideTitles = false;
    } else if (std::strcmp(arg, "--per-user") == 0) {
      options.perUser = true;
    } else if (std::strcmp(arg, "--2x") == 0) {
      options.classicHost = true;
    } else if (std::strcmp(arg, "--log") == 0 && hasValue) {
      options.logPath = argv[++i];
    } else if (std::strcmp(arg, "--exit-after") == 0 && hasValue) {
      char* end = nullptr;
      long value = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || value < 0) {
        error = std::string("bad --exit-after value: ") + argv[i];
        return false;
      }
      options.exitAfterMs = static_cast<unsigned>(value);
    } else {
      error = std::string("unknown or incomplete option: ") + arg;
      return false;
    }
  }
  return true;
}

}  // namespace player
