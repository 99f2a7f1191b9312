// Key names of the assignment dialog; the codes are the platform's virtual-key codes.
#include "core/hotkeys/key_names.h"

namespace klv {

// clang-format off
const KeyName KeyNameTable[kKeyNameCount] = {
    {"0", 48},           {"1", 49},         {"2", 50},         {"3", 51},           {"4", 52},
    {"5", 53},           {"6", 54},         {"7", 55},         {"8", 56},           {"9", 57},
    {"NumPad 0", 96},    {"NumPad 1", 97},  {"NumPad 2", 98},  {"NumPad 3", 99},    {"NumPad 4", 100},
    {"NumPad 5", 101},   {"NumPad 6", 102}, {"NumPad 7", 103}, {"NumPad 8", 104},   {"NumPad 9", 105},
    {"A", 65},           {"B", 66},         {"C", 67},         {"D", 68},           {"E", 69},
    {"F", 70},           {"G", 71},         {"H", 72},         {"I", 73},           {"J", 74},
    {"K", 75},           {"L", 76},         {"M", 77},         {"N", 78},           {"O", 79},
    {"P", 80},           {"Q", 81},         {"R", 82},         {"S", 83},           {"T", 84},
    {"U", 85},           {"V", 86},         {"W", 87},         {"X", 88},           {"Y", 89},
    {"Z", 90},           {"F1", 112},       {"F2", 113},       {"F3", 114},         {"F4", 115},
    {"F5", 116},         {"F6", 117},       {"F7", 118},       {"F8", 119},         {"F9", 120},
    {"F10", 121},        {"F11", 122},      {"F12", 123},      {"RightArrow", 39},  {"LeftArrow", 37},
    {"UpArrow", 38},     {"DownArrow", 40}, {"Backspace", 8},  {"Tab", 9},          {"Enter", 13},
    {"Pause", 19},       {"CapsLock", 20},  {"NumLock", 144},  {"ScrollLock", 145}, {"Esc", 27},
    {"Spacebar", 32},    {"PageUp", 33},    {"PageDown", 34},  {"End", 35},         {"Home", 36},
    {"PrintScreen", 44}, {"Ins", 45},       {"Del", 46},       {"*", 106},          {"/", 111},
    {"-", 109},          {"+", 107},
    // Beyond the classic keyboard: the spare function keys of macro keyboards,
    // then the media, browser and launch keys, often bound without modifiers.
    {"F13", 124},        {"F14", 125},      {"F15", 126},      {"F16", 127},        {"F17", 128},
    {"F18", 129},        {"F19", 130},      {"F20", 131},      {"F21", 132},        {"F22", 133},
    {"F23", 134},        {"F24", 135},
    {"MediaPlayPause", 179}, {"MediaStop", 178},        {"MediaNext", 176},      {"MediaPrev", 177},
    {"VolumeMute", 173},     {"VolumeDown", 174},       {"VolumeUp", 175},
    {"BrowserBack", 166},    {"BrowserForward", 167},   {"BrowserRefresh", 168}, {"BrowserStop", 169},
    {"BrowserSearch", 170},  {"BrowserFavorites", 171}, {"BrowserHome", 172},
    {"LaunchMail", 180},     {"LaunchMedia", 181},      {"LaunchApp1", 182},     {"LaunchApp2", 183},
};
// clang-format on

std::string KeyCodeToName(int code) {
  for (const KeyName& key : KeyNameTable) {
    if (key.code == code) return key.name;
  }
  return std::string();
}

int KeyNameToCode(std::string_view name) {
  for (const KeyName& key : KeyNameTable) {
    if (name == key.name) return key.code;
  }
  // A lone lower-case letter stands for its key; no other name has a lower-case form.
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return name[0] - 'a' + 'A';
  return 0;
}

}  // namespace klv
