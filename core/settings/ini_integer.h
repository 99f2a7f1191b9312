// The integer form of the settings file.
#pragma once

#include <cstdint>
#include <string_view>

namespace klv {

// Reads an integer the way the settings file stores it: leading blanks, an
// optional sign, decimal or hexadecimal ("$", "0x", "0X"). Anything else,
// including trailing characters or a decimal value outside 32 bits, gives
// fallback. Hexadecimal values up to 32 bits wrap to the signed range.
int32_t ParseIniInteger(std::string_view text, int32_t fallback);

}  // namespace klv
