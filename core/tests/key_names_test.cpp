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

// The dialog's key box, in list order.
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
  return keys;
}

TEST(KeyNames, TableListsTheKeyBoxInOrder) {
  const std::vector<NamedKey> expected = ExpectedKeyBox();
  ASSERT_EQ(expected.size(), static_cast<size_t>(kKeyNameCount));
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
  const char* const rejected[] = {"",         " A",    "A ",  "f1",   "F 1", "NumPad0", "numpad 1",
                                  "NUMPAD 1", "Space", "esc", "ESC",  "AB",  "ab",      "F13",
                                  "F0",       "Num",   "*/",  "Del ", "\t"};
  for (const char* name : rejected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(KeyNameToCode(name), 0);
  }
  // An embedded NUL is part of the name, not its end.
  EXPECT_EQ(KeyNameToCode(std::string_view("A\0", 2)), 0);
}

TEST(KeyNames, CodesOutsideTheTableHaveNoName) {
  for (int code : {0, 1, 47, 58, 64, 91, 108, 110, 124, 255, 256, 65 + 65536, -65}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(KeyCodeToName(code), "");
  }
}

}  // namespace
}  // namespace klv
