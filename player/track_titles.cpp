#include "player/track_titles.h"

#include <windows.h>

namespace player {
namespace {

std::wstring FromAnsi(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0)
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, ansi.data(), length, nullptr,
                        nullptr);
  return ansi;
}

std::vector<Track> WithBothTitles(std::vector<Track> tracks) {
  for (Track& track : tracks) {
    if (track.wideTitle.empty()) track.wideTitle = FromAnsi(track.title);
    if (track.title.empty()) track.title = ToAnsi(track.wideTitle);
  }
  return tracks;
}

}  // namespace player
