#include "core/osd/osd_animation.h"

namespace klv {

OsdAnimation ChooseOsdAnimation(const OsdShowConditions& show) {
  if (show.msSinceLastShowEnd <= kOsdAnimationGapMs || show.textLength >= kOsdMaxAnimatedLength ||
      !show.animateWindowAvailable || !show.tooltipAnimation) {
    return OsdAnimation::kNone;
  }
  if (show.tooltipFade) return OsdAnimation::kBlend;
  // Without a cursor position the direction is free: the window slides down.
  return show.cursorKnown && show.cursorY > show.windowTop ? OsdAnimation::kSlideUp
                                                           : OsdAnimation::kSlideDown;
}

}  // namespace klv
