// Small Win32 helper for scripts and tests running under Wine:
//   wintool keys ctrl+alt+n          press a key combination through SendInput
//                                    (also f13..f24 and media keys: mediaplaypause, medianext)
//   wintool wait CLASS [TIMEOUT_MS]  exit 0 once a top-level window of CLASS exists
//   wintool command CLASS ID         post WM_COMMAND ID to the window
//   wintool request CLASS CODE [W]   send WM_USER (code in lParam), print the answer
//   wintool close CLASS              post WM_CLOSE
//   wintool activate CLASS           bring the window to the foreground
//   wintool hold-hotkey MODS VK MS   hold a hotkey combination for MS milliseconds
//   wintool click CLASS CHILD TEXT P click the child window of class CHILD (and
//                                    text TEXT, - for any) P percent across, as a user would
// Key presses must come from a Win32 process: the hotkeys registered in Wine
// see SendInput events, not events injected on the X side.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kUsage = 2;
constexpr int kFailure = 1;
constexpr DWORD kDefaultWaitMs = 10000;

struct NamedKey {
  const char* name;
  WORD virtualKey;
};

constexpr NamedKey kModifiers[] = {
    {"ctrl", VK_CONTROL}, {"control", VK_CONTROL}, {"alt", VK_MENU}, {"shift", VK_SHIFT}, {"win", VK_LWIN},
};

constexpr NamedKey kSpecialKeys[] = {
    {"space", VK_SPACE},
    {"enter", VK_RETURN},
    {"escape", VK_ESCAPE},
    {"tab", VK_TAB},
    {"left", VK_LEFT},
    {"right", VK_RIGHT},
    {"up", VK_UP},
    {"down", VK_DOWN},
    {"home", VK_HOME},
    {"end", VK_END},
    {"insert", VK_INSERT},
    {"delete", VK_DELETE},
    {"pageup", VK_PRIOR},
    {"pagedown", VK_NEXT},
    {"mediaplaypause", VK_MEDIA_PLAY_PAUSE},
    {"mediastop", VK_MEDIA_STOP},
    {"medianext", VK_MEDIA_NEXT_TRACK},
    {"mediaprev", VK_MEDIA_PREV_TRACK},
    {"volumemute", VK_VOLUME_MUTE},
    {"volumedown", VK_VOLUME_DOWN},
    {"volumeup", VK_VOLUME_UP},
};

std::string Lower(const char* text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

WORD FindNamed(const NamedKey* begin, const NamedKey* end, const std::string& name) {
  for (const NamedKey* key = begin; key != end; ++key) {
    if (name == key->name) return key->virtualKey;
  }
  return 0;
}

// Letters, digits, f1..f24 and the names above; 0 when unknown.
WORD KeyCode(const std::string& name) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
  }
  if (name.size() >= 2 && name[0] == 'f' && std::isdigit(static_cast<unsigned char>(name[1]))) {
    int number = std::atoi(name.c_str() + 1);
    if (number >= 1 && number <= 24 && name == "f" + std::to_string(number)) {
      return static_cast<WORD>(VK_F1 + number - 1);
    }
    return 0;
  }
  return FindNamed(std::begin(kSpecialKeys), std::end(kSpecialKeys), name);
}

INPUT KeyEvent(WORD virtualKey, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  return input;
}

int PressKeys(const char* combination) {
  std::vector<WORD> modifiers;
  WORD key = 0;
  std::string text = Lower(combination);
  size_t start = 0;
  while (start <= text.size()) {
    size_t plus = text.find('+', start);
    std::string part = text.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    start = plus == std::string::npos ? text.size() + 1 : plus + 1;
    if (WORD modifier = FindNamed(std::begin(kModifiers), std::end(kModifiers), part)) {
      modifiers.push_back(modifier);
    } else {
      // One key only, after any number of modifiers.
      WORD code = key == 0 ? KeyCode(part) : 0;
      if (code == 0) {
        std::fprintf(stderr, "wintool: unexpected key '%s' in '%s'\n", part.c_str(), combination);
        return kUsage;
      }
      key = code;
    }
  }
  if (key == 0) {
    std::fprintf(stderr, "wintool: no key in '%s'\n", combination);
    return kUsage;
  }
  std::vector<INPUT> inputs;
  for (WORD modifier : modifiers) inputs.push_back(KeyEvent(modifier, true));
  inputs.push_back(KeyEvent(key, true));
  inputs.push_back(KeyEvent(key, false));
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) inputs.push_back(KeyEvent(*it, false));
  UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  // Give the server a moment to route the events before this process ends.
  Sleep(100);
  return sent == inputs.size() ? 0 : kFailure;
}

HWND FindOrComplain(const char* className) {
  HWND window = FindWindowA(className, nullptr);
  if (window == nullptr) std::fprintf(stderr, "wintool: no window of class '%s'\n", className);
  return window;
}

int WaitForWindow(const char* className, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (FindWindowA(className, nullptr) != nullptr) return 0;
    if (GetTickCount() - start >= timeoutMs) break;
    Sleep(50);
  }
  std::fprintf(stderr, "wintool: no window of class '%s' after %lu ms\n", className, timeoutMs);
  return kFailure;
}

int Post(const char* className, UINT message, WPARAM wParam) {
  HWND window = FindOrComplain(className);
  if (window == nullptr) return kFailure;
  return PostMessageA(window, message, wParam, 0) ? 0 : kFailure;
}

int Request(const char* className, LPARAM code, WPARAM wParam) {
  HWND window = FindOrComplain(className);
  if (window == nullptr) return kFailure;
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, WM_USER, wParam, code, SMTO_ABORTIFHUNG, 5000, &answer)) return kFailure;
  std::printf("%ld\n", static_cast<long>(answer));
  return 0;
}

int Activate(const char* className) {
  HWND window = FindOrComplain(className);
  if (window == nullptr) return kFailure;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  return SetForegroundWindow(window) ? 0 : kFailure;
}

// Another program's claim on a combination: registered for this thread, kept
// for the given time, then released as the process ends.
int HoldHotkey(long modifiers, long virtualKey, long milliseconds) {
  constexpr int kHoldId = 1;
  if (!RegisterHotKey(nullptr, kHoldId, static_cast<UINT>(modifiers), static_cast<UINT>(virtualKey))) {
    std::fprintf(stderr, "wintool: the combination %ld/%ld is taken\n", modifiers, virtualKey);
    return kFailure;
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(milliseconds));
  UnregisterHotKey(nullptr, kHoldId);
  return 0;
}

// The pointer moved onto the child and the left button pressed and released
// through SendInput, so that the control acts as it does for a user.
int ClickChild(const char* className, const char* childClass, const char* text, long percentAcross) {
  HWND window = FindOrComplain(className);
  if (window == nullptr) return kFailure;
  HWND child = FindWindowExA(window, nullptr, childClass, std::strcmp(text, "-") == 0 ? nullptr : text);
  RECT place{};
  if (child == nullptr || !GetWindowRect(child, &place)) {
    std::fprintf(stderr, "wintool: no child '%s' '%s' in '%s'\n", childClass, text, className);
    return kFailure;
  }
  SetCursorPos(place.left + (place.right - place.left) * percentAcross / 100, (place.top + place.bottom) / 2);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, clicks, sizeof(INPUT)) == 2 ? 0 : kFailure;
}

bool ParseNumber(const char* text, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 0);
  return end != text && *end == '\0';
}

int Usage() {
  std::fprintf(stderr,
               "usage: wintool keys COMBINATION | wait CLASS [TIMEOUT_MS] | command CLASS ID |\n"
               "       request CLASS CODE [WPARAM] | close CLASS | activate CLASS |\n"
               "       hold-hotkey MODIFIERS VK MS | cursor X Y | click CLASS CHILD TEXT PERCENT\n");
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string verb = argv[1];
  const char* target = argv[2];
  long number = 0;
  if (verb == "keys" && argc == 3) return PressKeys(target);
  if (verb == "wait" && (argc == 3 || argc == 4)) {
    if (argc == 4 && !ParseNumber(argv[3], number)) return Usage();
    return WaitForWindow(target, argc == 4 ? static_cast<DWORD>(number) : kDefaultWaitMs);
  }
  if (verb == "command" && argc == 4 && ParseNumber(argv[3], number)) {
    return Post(target, WM_COMMAND, static_cast<WPARAM>(number));
  }
  if (verb == "request" && (argc == 4 || argc == 5) && ParseNumber(argv[3], number)) {
    long wParam = 0;
    if (argc == 5 && !ParseNumber(argv[4], wParam)) return Usage();
    return Request(target, number, static_cast<WPARAM>(wParam));
  }
  if (verb == "close" && argc == 3) return Post(target, WM_CLOSE, 0);
  if (verb == "activate" && argc == 3) return Activate(target);
  if (verb == "hold-hotkey" && argc == 5) {
    long virtualKey = 0, milliseconds = 0;
    if (!ParseNumber(argv[2], number) || !ParseNumber(argv[3], virtualKey) ||
        !ParseNumber(argv[4], milliseconds))
      return Usage();
    return HoldHotkey(number, virtualKey, milliseconds);
  }
  if (verb == "click" && argc == 6) {
    if (!ParseNumber(argv[5], number)) return Usage();
    return ClickChild(target, argv[3], argv[4], number);
  }
  if (verb == "cursor" && argc == 4) {
    long y = 0;
    if (!ParseNumber(argv[2], number) || !ParseNumber(argv[3], y)) return Usage();
    // Parks the pointer, e.g. away from controls whose hints would cover a screenshot.
    return SetCursorPos(number, y) ? 0 : 1;
  }
  return Usage();
}
