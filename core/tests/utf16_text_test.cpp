#include "core/utf16_text.h"

#include <gtest/gtest.h>

#include <string>

namespace klv {
namespace {

TEST(Utf16ToUtf8, EncodesEachCodePointAndReplacesUnpairedSurrogates) {
  struct Case {
    const char* label;
    std::u16string text;
    std::string expected;
  };
  const Case cases[] = {
      {"empty", u"", ""},
      {"ASCII", u"Next : \"A\"", "Next : \"A\""},
      {"last one-byte", u"\u007f", "\x7f"},
      {"first two-byte", u"\u0080", "\xC2\x80"},
      {"e acute", u"\u00e9", "\xC3\xA9"},
      {"Cyrillic Zhe", u"\u0416", "\xD0\x96"},
      {"last two-byte", u"\u07ff", "\xDF\xBF"},
      {"first three-byte", u"\u0800", "\xE0\xA0\x80"},
      {"euro", u"\u20ac", "\xE2\x82\xAC"},
      {"last of the basic plane", u"\uffff", "\xEF\xBF\xBF"},
      {"pair D83C DFB5", u"\U0001F3B5", "\xF0\x9F\x8E\xB5"},
      {"first pair", u"\U00010000", "\xF0\x90\x80\x80"},
      {"last pair", u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
      {"lone high", std::u16string(1, char16_t{0xD83C}), "\xEF\xBF\xBD"},
      {"lone low", std::u16string(1, char16_t{0xDFB5}), "\xEF\xBF\xBD"},
      {"high then letter", std::u16string{char16_t{0xD83C}, u'x'}, "\xEF\xBF\xBDx"},
      {"low before high", std::u16string{char16_t{0xDFB5}, char16_t{0xD83C}}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Utf16ToUtf8(c.text), c.expected);
  }
}

TEST(ReadBoundedWideText, StopsAtTheNulOrTheLimit) {
  const char16_t text[] = u"abcdef";
  EXPECT_EQ(ReadBoundedWideText(text, 10), u"abcdef");
  EXPECT_EQ(ReadBoundedWideText(text, 6), u"abcdef");
  EXPECT_EQ(ReadBoundedWideText(text, 3), u"abc");
  EXPECT_EQ(ReadBoundedWideText(text, 0), u"");
  // A pair that the limit would part is left out whole.
  const char16_t pair[] = u"ab\U0001F3B5c";
  EXPECT_EQ(ReadBoundedWideText(pair, 3), u"ab");
  EXPECT_EQ(ReadBoundedWideText(pair, 4), u"ab\U0001F3B5");
  EXPECT_EQ(ReadBoundedWideText(pair, 1), u"a");
}

}  // namespace
}  // namespace klv
