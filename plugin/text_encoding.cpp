#include "plugin/text_encoding.h"

#include <windows.h>

#include "core/utf16_text.h"

namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }

std::string AnsiToUtf8(std::string_view bytes) {
  const std::wstring wide = ToWide(CP_ACP, bytes);
  return klv::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}
