// UTF-16 titles as the host hands them out, and their UTF-8 form, in which
// the OSD texts are composed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace klv {

// The title's units before the first NUL, at most maxUnits of them; one fewer
// when the last one taken would part a surrogate pair. Reads no further than
// the NUL or the unit after the last one taken.
std::u16string ReadBoundedWideText(const char16_t* text, size_t maxUnits);

// UTF-8 of a UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// UTF-16 of a UTF-8 text; each byte that starts no valid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace klv
