// Wide titles over arbitrary UTF-16 units: the cut reads no unit beyond the
// NUL, or beyond the one after the 255th, never parts a surrogate pair, and
// the UTF-8 form decodes back to the units it was made from (an unpaired
// surrogate to U+FFFD).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/utf16_text.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr size_t kLimit = 255;

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// A strict UTF-8 decoder back to UTF-16; false on anything malformed.
bool DecodeUtf8(const std::string& text, std::u16string& out) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 9;
    if (extra == 9 || i + extra >= text.size()) return false;
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    if (code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte says whether the block ends in a NUL; the rest are units.
  if (size == 0) return 0;
  const bool terminated = (data[0] & 1) != 0;
  const size_t units = (size - 1) / 2;
  // An unterminated block must hold more than the limit, or the read would
  // rightly run off its end: the host's title always ends in a NUL.
  if (!terminated && units <= kLimit) return 0;
  const size_t blockSize = units + (terminated ? 1 : 0);
  auto* block = static_cast<char16_t*>(std::malloc((blockSize == 0 ? 1 : blockSize) * sizeof(char16_t)));
  if (units > 0) std::memcpy(block, data + 1, units * sizeof(char16_t));
  if (terminated) block[units] = u'\0';

  const std::u16string cut = klv::ReadBoundedWideText(block, kLimit);
  size_t before = 0;  // units before the first NUL
  while (before < units && block[before] != u'\0') ++before;
  FUZZ_CHECK(cut == std::u16string(block, cut.size()));
  if (before <= kLimit) {
    FUZZ_CHECK(cut.size() == before);
  } else {
    const bool pairAtTheLimit = IsHigh(block[kLimit - 1]) && IsLow(block[kLimit]);
    FUZZ_CHECK(cut.size() == (pairAtTheLimit ? kLimit - 1 : kLimit));
  }

  std::u16string decoded;
  FUZZ_CHECK(DecodeUtf8(klv::Utf16ToUtf8(cut), decoded));
  std::u16string expected;
  for (size_t i = 0; i < cut.size(); ++i) {
    if (IsHigh(cut[i]) && i + 1 < cut.size() && IsLow(cut[i + 1])) {
      expected += cut[i];
      expected += cut[++i];
    } else {
      expected += IsHigh(cut[i]) || IsLow(cut[i]) ? u'\uFFFD' : cut[i];
    }
  }
  FUZZ_CHECK(decoded == expected);
  std::free(block);
  return 0;
}
