// The conversions between the plug-in's UTF-8 texts and the platform's.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A wide text's units before its first NUL, at most maxUnits of them, one
// fewer rather than half a surrogate pair. Reads no further than the NUL or
// the unit after the last one taken: for buffers and answers of a known room.
std::wstring ReadBoundedWide(const wchar_t* text, size_t maxUnits);

// UTF-8 to UTF-16 for the wide window functions and back, by the portable
// conversions of core: invalid bytes and unpaired surrogates become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
// Bytes in the system's ANSI code page, as a host without wide titles hands
// them out, to UTF-8.
std::string AnsiToUtf8(std::string_view bytes);
// The text after a trip through the system's ANSI code page and back: what
// it lacks becomes '?' or a best-fit look-alike.
std::string Utf8ThroughCodePage(std::string_view text);
