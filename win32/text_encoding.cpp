#include "win32/text_encoding.h"

#include <windows.h>

#include "core/utf16_text.h"

namespace {

std::wstring AnsiToWide(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string WideToAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::wstring ReadBoundedWide(const wchar_t* text, size_t maxUnits) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide text is UTF-16");
  const std::u16string units = klv::ReadBoundedWideText(reinterpret_cast<const char16_t*>(text), maxUnits);
  return std::wstring(units.begin(), units.end());
}

std::wstring Utf8ToWide(std::string_view text) {
  const std::u16string units = klv::Utf8ToUtf16(text);
  return std::wstring(units.begin(), units.end());
}

std::string WideToUtf8(std::wstring_view text) {
  return klv::Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

std::string AnsiToUtf8(std::string_view bytes) { return WideToUtf8(AnsiToWide(bytes)); }

std::string Utf8ThroughCodePage(std::string_view text) { return AnsiToUtf8(WideToAnsi(Utf8ToWide(text))); }
