// The escaped form of a text for an 8-bit settings file.
#include "core/settings/ini_escape.h"

#include "core/utf16_text.h"

namespace klv {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool KeptAsIs(char16_t unit, bool atAnEnd) {
  if (unit == u' ') return !atAnEnd;
  return unit > u' ' && unit < 0x7F && unit != u'\\' && unit != u'"';
}

}  // namespace

std::string EscapeIniText(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (KeptAsIs(unit, i == 0 || i + 1 == units.size())) {
      out += static_cast<char>(unit);
      continue;
    }
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(unit >> shift) & 0xF];
  }
  return out;
}

std::optional<std::string> UnescapeIniText(std::string_view escaped) {
  std::u16string units;
  for (size_t i = 0; i < escaped.size(); ++i) {
    const auto c = static_cast<unsigned char>(escaped[i]);
    if (c >= 0x80) return std::nullopt;  // the escaped form is ASCII throughout
    if (c != '\\') {
      units += static_cast<char16_t>(c);
      continue;
    }
    if (i + 6 > escaped.size() || escaped[i + 1] != 'u') return std::nullopt;
    char16_t unit = 0;
    for (size_t k = i + 2; k < i + 6; ++k) {
      const int digit = HexValue(escaped[k]);
      if (digit < 0) return std::nullopt;
      unit = static_cast<char16_t>((unit << 4) | digit);
    }
    units += unit;
    i += 5;
  }
  return Utf16ToUtf8(units);
}

}  // namespace klv
