// Faces of the playlist editor and the equalizer. Neither can be closed on
// its own: they live and die with the main window, as in the real player.
#include "core/host_codes.h"
#include "player/player_app.h"

namespace player {
namespace {

constexpr int kLineHeight = 18;

void PaintPlaylist(HWND window) {
  const FacePaint face(window);
  HDC dc = face.dc;
  const RECT& client = face.client;
  const Playback& playback = gApp->playback;
  for (int i = 0; i < playback.Count(); ++i) {
    const Track* track = playback.TrackAt(i);
    RECT row{0, 6 + i * kLineHeight, client.right, 6 + (i + 1) * kLineHeight};
    bool current = i == playback.Index();
    if (current) FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    std::string number = std::to_string(i + 1) + ".";
    RECT numberCell{row.left + 8, row.top, row.left + 30, row.bottom};
    RECT titleCell{row.left + 32, row.top, row.right - 60, row.bottom};
    RECT lengthCell{row.right - 56, row.top, row.right - 8, row.bottom};
    DrawTextA(dc, number.c_str(), -1, &numberCell, kFaceLineFormat);
    DrawTextW(dc, track->wideTitle.c_str(), -1, &titleCell, kFaceLineFormat);
    DrawTextA(dc, FormatClock(track->lengthSeconds * 1000).c_str(), -1, &lengthCell,
              kFaceLineFormat | DT_RIGHT);
  }
  DrawClassTag(dc, client, klv::kPlaylistWindowClass, DT_RIGHT | DT_BOTTOM);
}

void PaintEqualizer(HWND window) {
  static const char* const kBands[] = {"Pre", "60", "170", "310", "600", "1K",
                                       "3K",  "6K", "12K", "14K", "16K"};
  static const int kLevels[] = {50, 62, 58, 52, 48, 50, 55, 60, 63, 60, 57};  // percent of the bar height
  const FacePaint face(window);
  HDC dc = face.dc;
  const RECT& client = face.client;
  char volume[64];
  wsprintfA(volume, "Equalizer on    Volume %d%%", gApp->playback.VolumePercent());
  RECT header{10, 4, client.right - 10, 22};
  DrawTextA(dc, volume, -1, &header, kFaceLineFormat);
  DrawClassTag(dc, client, klv::kEqualizerWindowClass, DT_RIGHT | DT_TOP);
  const int barTop = 26;
  const int barBottom = client.bottom - 22;
  for (int i = 0; i < 11; ++i) {
    int left = 12 + i * 36;
    RECT slot{left + 10, barTop, left + 16, barBottom};
    FillRect(dc, &slot, GetSysColorBrush(COLOR_BTNSHADOW));
    int knob = barBottom - (barBottom - barTop) * kLevels[i] / 100;
    RECT handle{left + 4, knob - 3, left + 22, knob + 3};
    FillRect(dc, &handle, GetSysColorBrush(COLOR_HIGHLIGHT));
    RECT label{left, barBottom + 2, left + 26, client.bottom};
    DrawTextA(dc, kBands[i], -1, &label, kFaceLineFormat | DT_CENTER);
  }
}

// Paints the face and ignores a close: they go with the main window.
std::optional<LRESULT> HandleSideMessage(void (*paint)(HWND), HWND window, UINT message) {
  switch (message) {
    case WM_PAINT:
      paint(window);
      return 0;
    case WM_CLOSE:
      return 0;
  }
  return std::nullopt;
}

std::optional<LRESULT> HandlePlaylistMessage(HWND window, UINT message, WPARAM, LPARAM) {
  return HandleSideMessage(PaintPlaylist, window, message);
}

std::optional<LRESULT> HandleEqualizerMessage(HWND window, UINT message, WPARAM, LPARAM) {
  return HandleSideMessage(PaintEqualizer, window, message);
}

}  // namespace

LRESULT CALLBACK PlaylistWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return FramedWindowProc(klv::kPlaylistWindowClass, HandlePlaylistMessage, window, message, wParam, lParam);
}

LRESULT CALLBACK EqualizerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return FramedWindowProc(klv::kEqualizerWindowClass, HandleEqualizerMessage, window, message, wParam,
                          lParam);
}

}  // namespace player
