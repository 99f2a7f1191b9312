#include "core/hotkeys/key_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/tests/expected_key_box.h"

namespace klv {
namespace {

using key_box::ExpectedKeyBox;
using key_box::NamedKey;

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
