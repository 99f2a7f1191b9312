#include "core/key_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace klv {
namespace {

struct NamedKey {
  std::string name;
  int code;
};

// The dialog's key box, in list order: the classic keyboard's 82 keys, then
// F13-F24 and the media, browser and launch keys.
std::vector<NamedKey> ExpectedKeyBox() {
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

TEST(KeyNames, TableListsTheKeyBoxInOrder) {
  const std::vector<NamedKey> expected = ExpectedKeyBox();
  ASSERT_EQ(expected.size(), 112u);
  ASSERT_EQ(kKeyNameCount, 112);
  for (int i = 0; i < kKeyNameCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(KeyNameTable[i].name, expected[i].name);
    EXPECT_EQ(KeyNameTable[i].code, expected[i].code);
  }
}

TEST(KeyNames, EveryNameConvertsBothWays) {
  for (const NamedKey& key : ExpectedKeyBox()) {
    SCOPED_TRACE(key.name);
    EXPECT_EQ(KeyNameToCode(key.name), key.code);
    EXPECT_EQ(KeyCodeToName(key.code), key.name);
    EXPECT_EQ(KeyCodeToName(KeyNameToCode(key.name)), key.name);
  }
}

TEST(KeyNames, NamesAndCodesAreUnique) {
  std::set<std::string> names;
  std::set<int> codes;
  for (const KeyName& key : KeyNameTable) {
    EXPECT_TRUE(names.insert(key.name).second) << key.name;
    EXPECT_TRUE(codes.insert(key.code).second) << key.code;
  }
}

TEST(KeyNames, LoneLowerCaseLettersGiveTheirKey) {
  for (char c = 'a'; c <= 'z'; ++c) {
    SCOPED_TRACE(c);
    const int code = KeyNameToCode(std::string(1, c));
    EXPECT_EQ(code, c - 'a' + 65);
    EXPECT_EQ(KeyCodeToName(code), std::string(1, static_cast<char>(c - 'a' + 'A')));
  }
}

TEST(KeyNames, RejectedSpellingsGiveNoCode) {
  const char* const rejected[] = {"", " A", "A ", "f1", "F 1", "NumPad0", "numpad 1", "NUMPAD 1", "Space",
                                  "esc", "ESC", "AB", "ab", "F25", "F0", "Num", "*/", "Del ", "\t",
                                  // The longer keys have no lower-case or spaced spelling either.
                                  "f13", "F13 ", "mediaplaypause", "MEDIAPLAYPAUSE", "Media Play Pause",
                                  "MediaPlay", "MediaPlayPause2", "VolumeUP", "volumeup", "Launchapp1",
                                  "LaunchApp", "LaunchApp3", "Browser", "BrowserBack "};
  for (const char* name : rejected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(KeyNameToCode(name), 0);
  }
  // An embedded NUL is part of the name, not its end.
  EXPECT_EQ(KeyNameToCode(std::string_view("A\0", 2)), 0);
}

TEST(KeyNames, FunctionKeysF13ToF24FollowF12) {
  // 124 was a code without a name; it is F13 now, and F24 is 135.
  const std::pair<const char*, int> cases[] = {
      {"F12", 123}, {"F13", 124}, {"F14", 125}, {"F23", 134}, {"F24", 135}};
  for (const auto& [name, code] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(KeyNameToCode(name), code);
    EXPECT_EQ(KeyCodeToName(code), name);
  }
}

TEST(KeyNames, CodesOutsideTheTableHaveNoName) {
  // 136..143 and 146..165 lie between the listed ranges, 184 and up past them.
  for (int code : {0,   1,   47,  58,  64,  91,  108, 110,        136,         143,
                   146, 160, 165, 184, 186, 255, 256, 65 + 65536, 179 + 65536, -65}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(KeyCodeToName(code), "");
  }
}

}  // namespace
}  // namespace klv
