// ParseIniInteger over arbitrary text: no undefined behaviour, the fallback is
// returned whole or not at all, and every result reads back from its decimal form.
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings/ini_integer.h"
#include "fuzz/fuzz_check.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Plain decimal forms only: blanks, a sign, digits. Other forms have no oracle here.
bool DecimalOracle(std::string_view text, int64_t& value, bool& fits) {
  size_t pos = text.find_first_not_of(" \t");
  if (pos == std::string_view::npos) return false;
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') negative = text[pos++] == '-';
  const std::string_view digits = text.substr(pos);
  if (digits.empty() || digits.size() > 18) return false;
  for (char c : digits) {
    if (!IsDigit(c)) return false;
  }
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (negative) value = -value;
  fits = value >= INT32_MIN && value <= INT32_MAX;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int32_t withZero = klv::ParseIniInteger(text, 0);
  const int32_t withMinusOne = klv::ParseIniInteger(text, -1);
  // A parse either succeeds whatever the fallback or gives exactly the fallback.
  if (withZero != withMinusOne) {
    FUZZ_CHECK(withZero == 0 && withMinusOne == -1);
  } else {
    FUZZ_CHECK(klv::ParseIniInteger(std::to_string(withZero), 12345) == withZero);
  }

  int64_t expected = 0;
  bool fits = false;
  if (DecimalOracle(text, expected, fits)) {
    if (fits) {
      FUZZ_CHECK(withZero == expected);
    } else {
      FUZZ_CHECK(withZero == 0 && withMinusOne == -1);
    }
  }
  return 0;
}
