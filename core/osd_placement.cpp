// Placement of the OSD window on the primary screen, clamped to the desktop.
#include "core/osd_placement.h"

namespace klv {
namespace {

constexpr uint8_t kMaxPositionCode = 8;
// The text sits 2 px inside a client area 4 px larger than it, within a 1 px frame.
constexpr int kHorizontalPadding = 6;
constexpr int kVerticalPadding = 2;
constexpr int kWindowExtraHeight = 4;

// 0, 1, 2: start, middle, end of a span of free space.
int AlongAxis(int slot, int free) {
  switch (slot) {
    case 1:
      return free / 2;
    case 2:
      return free;
    default:
      return 0;
  }
}

}  // namespace

OsdRect PlaceOsd(uint8_t position, int textWidth, int textHeight, const ScreenMetrics& screen) {
  const int code = position > kMaxPositionCode ? 0 : position;
  const int w = textWidth + kHorizontalPadding;
  const int h = textHeight + kVerticalPadding;
  OsdRect rect{AlongAxis(code / 3, screen.screenWidth - w), AlongAxis(code % 3, screen.screenHeight - h), w,
               h + kWindowExtraHeight};

  // The first two tests compare with the virtual screen's extents, not its edges.
  if (rect.y + rect.height > screen.virtualHeight) rect.y = screen.virtualHeight - rect.height;
  if (rect.x + rect.width > screen.virtualWidth) rect.x = screen.virtualWidth - rect.width;
  if (rect.x < screen.virtualLeft) rect.x = screen.virtualLeft;
  // A text taller than the desktop keeps its top edge, and so its first lines, on screen.
  if (rect.y < screen.virtualTop) rect.y = screen.virtualTop;
  return rect;
}

}  // namespace klv
