#include "player/options.h"

#include <cstdlib>
#include <cstring>

namespace player {
namespace {

// A whole decimal number from 0 to `most`.
bool ParseCount(const char* text, unsigned most, unsigned& value) {
  char* end = nullptr;
  long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < 0 || static_cast<unsigned long>(parsed) > most) return false;
  value = static_cast<unsigned>(parsed);
  return true;
}

}  // namespace

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
    } else if (std::strcmp(arg, "--play") == 0) {
      options.play = true;
    } else if (std::strcmp(arg, "--modern") == 0) {
      options.modernSkin = true;
    } else if (std::strcmp(arg, "--log") == 0 && hasValue) {
      options.logPath = argv[++i];
    } else if (std::strcmp(arg, "--exit-after") == 0 && hasValue) {
      if (!ParseCount(argv[++i], 0x7FFFFFFF, options.exitAfterMs)) {
        error = std::string("bad --exit-after value: ") + argv[i];
        return false;
      }
    } else if (std::strcmp(arg, "--skin-alpha") == 0 && hasValue) {
      if (!ParseCount(argv[++i], 255, options.skinAlpha)) {
        error = std::string("bad --skin-alpha value: ") + argv[i];
        return false;
      }
    } else {
      error = std::string("unknown or incomplete option: ") + arg;
      return false;
    }
  }
  if (options.modernSkin && options.classicHost) {
    error = "the 2.x player has no modern skins";
    return false;
  }
  return true;
}

}  // namespace player
