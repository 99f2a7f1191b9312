// The integer form of the settings file. Hand-edited files may hold hexadecimal
// values, so both forms are read; anything doubtful falls back to the default.
#include <cstdint>
#include <string_view>

#include "core/settings/ini_integer.h"

namespace klv {
namespace {

constexpr size_t kMaxHexDigits = 8;

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Leading zeros do not count towards the 32 bits, as in the decimal form.
bool ParseHex(std::string_view digits, uint32_t& value) {
  if (digits.empty()) return false;
  value = 0;
  size_t significant = 0;
  for (char c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return false;
    if (significant > 0 || digit != 0) ++significant;
    if (significant > kMaxHexDigits) return false;
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  return true;
}

// Magnitude up to 2^31, so that the most negative value still fits.
bool ParseDecimal(std::string_view digits, uint32_t& magnitude) {
  constexpr uint32_t kLimit = 0x80000000u;
  if (digits.empty()) return false;
  uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > kLimit) return false;
  }
  magnitude = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

int32_t ParseIniInteger(std::string_view text, int32_t fallback) {
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  std::string_view rest = text.substr(pos);

  uint32_t magnitude = 0;
  if (!rest.empty() && rest[0] == '$') {
    if (!ParseHex(rest.substr(1), magnitude)) return fallback;
  } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    if (!ParseHex(rest.substr(2), magnitude)) return fallback;
  } else {
    if (!ParseDecimal(rest, magnitude)) return fallback;
    if (!negative && magnitude > 0x7FFFFFFFu) return fallback;
  }
  // Unsigned negation wraps like the 32-bit register arithmetic the file format grew from.
  const uint32_t bits = negative ? 0u - magnitude : magnitude;
  return static_cast<int32_t>(bits);
}

}  // namespace klv
