// The key box of the assignment dialog as the user reads it, written out in
// list order with the codes of the keys: the native tests check the key name
// table against it, the Wine tests the dialog's real key box.
#pragma once

#include <string>
#include <vector>

namespace key_box {

struct NamedKey {
  std::string name;
  int code;
};

// The dialog's key box, in list order: the classic keyboard's 82 keys, then
// F13-F24 and the media, browser and launch keys.
inline std::vector<NamedKey> ExpectedKeyBox() {
  std::vector<NamedKey> keys;
  for (int d = 0; d <= 9; ++d) keys.push_back({std::to_string(d), 48 + d});
  for (int d = 0; d <= 9; ++d) keys.push_back({"NumPad " + std::to_string(d), 96 + d});
  for (char c = 'A'; c <= 'Z'; ++c) keys.push_back({std::string(1, c), c});
  for (int f = 1; f <= 12; ++f) keys.push_back({"F" + std::to_string(f), 111 + f});
  const std::vector<NamedKey> rest = {
      {"RightArrow", 39},  {"LeftArrow", 37}, {"UpArrow", 38},     {"DownArrow", 40}, {"Backspace", 8},
      {"Tab", 9},          {"Enter", 13},     {"Pause", 19},       {"CapsLock", 20},  {"NumLock", 144},
      {"ScrollLock", 145}, {"Esc", 27},       {"Spacebar", 32},    {"PageUp", 33},    {"PageDown", 34},
      {"End", 35},         {"Home", 36},      {"PrintScreen", 44}, {"Ins", 45},       {"Del", 46},
      {"*", 106},          {"/", 111},        {"-", 109},          {"+", 107}};
  keys.insert(keys.end(), rest.begin(), rest.end());
  for (int f = 13; f <= 24; ++f) keys.push_back({"F" + std::to_string(f), 111 + f});
  const std::vector<NamedKey> media = {
      {"MediaPlayPause", 179},   {"MediaStop", 178},      {"MediaNext", 176},   {"MediaPrev", 177},
      {"VolumeMute", 173},       {"VolumeDown", 174},     {"VolumeUp", 175},    {"BrowserBack", 166},
      {"BrowserForward", 167},   {"BrowserRefresh", 168}, {"BrowserStop", 169}, {"BrowserSearch", 170},
      {"BrowserFavorites", 171}, {"BrowserHome", 172},    {"LaunchMail", 180},  {"LaunchMedia", 181},
      {"LaunchApp1", 182},       {"LaunchApp2", 183}};
  keys.insert(keys.end(), media.begin(), media.end());
  return keys;
}

}  // namespace key_box
