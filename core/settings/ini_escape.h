// Texts outside ASCII kept in a file that only an 8-bit code page may read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace klv {

// Printable ASCII stays as it is; a backslash, a double quote, a blank at
// either end and every other UTF-16 unit become \uXXXX, so that the profile
// functions of any code page keep the text and trim nothing from it.
std::string EscapeIniText(std::string_view utf8);
// The UTF-8 text back; nothing for a malformed escape.
std::optional<std::string> UnescapeIniText(std::string_view escaped);

}  // namespace klv
