// Where the OSD window goes on the screen.
#pragma once

#include <cstdint>

namespace klv {

struct ScreenMetrics {
  int screenWidth;  // primary screen
  int screenHeight;
  int virtualLeft;  // virtual screen (all monitors)
  int virtualTop;
  int virtualWidth;
  int virtualHeight;
};

struct OsdRect {
  int x;
  int y;
  int width;
  int height;
};

// The window rectangle for a text of textWidth x textHeight pixels at position
// code 0..8 (column = code / 3, row = code % 3; codes above 8 count as 0),
// clamped to the desktop. The top edge never leaves the desktop.
OsdRect PlaceOsd(uint8_t position, int textWidth, int textHeight, const ScreenMetrics& screen);

}  // namespace klv
