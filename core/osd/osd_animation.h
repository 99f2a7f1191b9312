// Whether and how a show of the OSD is animated.
#pragma once

#include <cstddef>
#include <cstdint>

namespace klv {

enum class OsdAnimation {
  kNone,
  kBlend,      // the tooltip fade setting is on
  kSlideUp,    // from the bottom edge up: the cursor is below the window's top
  kSlideDown,  // from the top edge down
};

struct OsdShowConditions {
  uint32_t msSinceLastShowEnd;  // tick difference, unsigned across the counter's wrap
  size_t textLength;            // characters
  bool animateWindowAvailable;
  bool tooltipAnimation;  // the platform's tooltip animation setting
  bool tooltipFade;       // the platform's tooltip fade setting
  bool cursorKnown;
  int cursorY;
  int windowTop;
};

constexpr uint32_t kOsdAnimationGapMs = 250;   // closer shows are not animated
constexpr size_t kOsdMaxAnimatedLength = 100;  // this many characters or more are not animated
constexpr uint32_t kOsdAnimationTimeMs = 100;

OsdAnimation ChooseOsdAnimation(const OsdShowConditions& show);

}  // namespace klv
