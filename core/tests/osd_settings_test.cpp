// The OSD keys added to the classic file: OSDMonitor, and the exact font
// name beside OSDFontName.
#include <gtest/gtest.h>

#include <string>

#include "core/settings/ini_escape.h"
#include "core/settings/ini_text.h"
#include "core/settings/settings_schema.h"

namespace klv {
namespace {

Settings ReadOsd(const std::string& osdKeys) { return ReadSettings(IniText("[OSD]\n" + osdKeys)); }

TEST(OsdMonitorSettings, MonitorValuesOutsideTheFourReadAsPrimary) {
  struct Case {
    const char* line;
    int32_t expected;
  } const cases[] = {
      {"OSDMonitor=1\n", 1},   {"osdmonitor=$3\n", 3},  {"OSDMonitor=4\n", 0},  {"OSDMonitor=-1\n", 0},
      {"OSDMonitor=256\n", 0}, {"OSDMonitor=two\n", 0}, {"OSDMonitor=2x\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ReadOsd(c.line).osdMonitor, c.expected);
  }
}

// "ＭＳ ゴシック", "メイリオ" and "游ゴシック体", spelled in UTF-8.
const std::string kGothic = "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";
const std::string kMeiryo = "\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA";
const std::string kYuGothic = "\xE6\xB8\xB8\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF\xE4\xBD\x93";

TEST(ExactFontName, EscapesToAsciiAndBack) {
  struct Case {
    std::string name;
    std::string escaped;
  } const cases[] = {
      {"Arial", "Arial"},
      {kGothic, "\\uFF2D\\uFF33 \\u30B4\\u30B7\\u30C3\\u30AF"},
      {" Tahoma ", "\\u0020Tahoma\\u0020"},  // the profile functions trim blanks at the ends
      {"a\\b\"c", "a\\u005Cb\\u0022c"},
      {"\xF0\x9F\x98\x80", "\\uD83D\\uDE00"},  // beyond the BMP: a surrogate pair
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.escaped);
    EXPECT_EQ(EscapeIniText(c.name), c.escaped);
    EXPECT_EQ(UnescapeIniText(c.escaped), c.name);
  }
  for (const char* malformed : {"\\u12", "\\x0041", "\\u00G1", "x\\", "\xC3\xA9"}) {
    EXPECT_EQ(UnescapeIniText(malformed), std::nullopt) << malformed;
  }
}

// A file whose code page turns exact into form.
struct EightBitFile : IniText {
  EightBitFile(const std::string& text, std::string exact, std::string form)
      : IniText(text), exact(std::move(exact)), form(std::move(form)) {}
  std::string StoredForm(std::string_view text) const override { return text == exact ? form : "(other)"; }
  std::string exact, form;
};

// OSDFontName as the file kept it, beside the exact name's key.
TEST(ExactFontName, TakenOnlyWhileOSDFontNameIsExactlyItsCodePageForm) {
  struct Case {
    const char* label;
    std::string kept;
    std::string exact;
    std::string form;  // what the code page makes of exact
    std::string expected;
  } const cases[] = {
      {"a Western code page", "?? ????", kGothic, "?? ????", kGothic},
      {"best-fit letters", "MS ????", kGothic, "MS ????", kGothic},
      {"a code page that holds it", kGothic, kGothic, kGothic, kGothic},
      {"Tahoma chosen since", "Tahoma", kYuGothic, "??????", "Tahoma"},
      {"Arial by hand, five CJK letters", "Arial", kMeiryo + "\xE4\xBD\x93", "?????", "Arial"},
      {"best-fit letters elsewhere", "MS ????", kGothic, "?? ????", "MS ????"},
      {"an older build chose another font", kMeiryo, "\xE6\xB8\xB8\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83",
       "????", kMeiryo},
      {"a malformed key", "????", "\\uZZZZ", "????", "????"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string exactLine = c.exact.rfind("\\", 0) == 0 ? c.exact : EscapeIniText(c.exact);
    const EightBitFile ini("[OSD]\nOSDFontName=" + c.kept + "\nOSDFontNameUnicode=" + exactLine + "\n",
                           c.exact, c.form);
    EXPECT_EQ(ReadSettings(ini).osdFont.name, c.expected);
  }
}

}  // namespace
}  // namespace klv
