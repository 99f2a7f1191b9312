#include "core/osd/osd_animation.h"

#include <gtest/gtest.h>

namespace klv {
namespace {

struct AnimationCase {
  const char* label;
  OsdShowConditions show;
  OsdAnimation expected;
};

// A show that is animated: long after the last, short text, everything on,
// fade off, cursor below the window's top.
constexpr OsdShowConditions kAnimated{5000, 20, true, true, false, true, 600, 376};

OsdShowConditions With(void (*change)(OsdShowConditions&)) {
  OsdShowConditions show = kAnimated;
  change(show);
  return show;
}

TEST(OsdAnimation, FollowsTheGapTheLengthAndTheSettings) {
  const AnimationCase cases[] = {
      {"all conditions hold", kAnimated, OsdAnimation::kSlideUp},
      // More than 250 ms since the last show end.
      {"251 ms", With([](OsdShowConditions& s) { s.msSinceLastShowEnd = 251; }), OsdAnimation::kSlideUp},
      {"250 ms", With([](OsdShowConditions& s) { s.msSinceLastShowEnd = 250; }), OsdAnimation::kNone},
      {"100 ms after the last", With([](OsdShowConditions& s) { s.msSinceLastShowEnd = 100; }),
       OsdAnimation::kNone},
      {"0 ms", With([](OsdShowConditions& s) { s.msSinceLastShowEnd = 0; }), OsdAnimation::kNone},
      // The first show: the tick count itself since the last show end of 0.
      {"first show at tick 4000000000",
       With([](OsdShowConditions& s) { s.msSinceLastShowEnd = 4000000000u; }), OsdAnimation::kSlideUp},
      // Fewer than 100 characters.
      {"99 characters", With([](OsdShowConditions& s) { s.textLength = 99; }), OsdAnimation::kSlideUp},
      {"100 characters", With([](OsdShowConditions& s) { s.textLength = 100; }), OsdAnimation::kNone},
      {"5000 characters", With([](OsdShowConditions& s) { s.textLength = 5000; }), OsdAnimation::kNone},
      {"empty text", With([](OsdShowConditions& s) { s.textLength = 0; }), OsdAnimation::kSlideUp},
      // AnimateWindow and the tooltip animation setting.
      {"no AnimateWindow", With([](OsdShowConditions& s) { s.animateWindowAvailable = false; }),
       OsdAnimation::kNone},
      {"tooltip animation off", With([](OsdShowConditions& s) { s.tooltipAnimation = false; }),
       OsdAnimation::kNone},
      {"tooltip animation off, fade on", With([](OsdShowConditions& s) {
         s.tooltipAnimation = false;
         s.tooltipFade = true;
       }),
       OsdAnimation::kNone},
      // Fade wins over the direction.
      {"fade on", With([](OsdShowConditions& s) { s.tooltipFade = true; }), OsdAnimation::kBlend},
      {"fade on, cursor above", With([](OsdShowConditions& s) {
         s.tooltipFade = true;
         s.cursorY = 0;
       }),
       OsdAnimation::kBlend},
      // Without fade the cursor decides: below the window's top slides up, else down.
      {"cursor one below the top", With([](OsdShowConditions& s) { s.cursorY = 377; }),
       OsdAnimation::kSlideUp},
      {"cursor on the top", With([](OsdShowConditions& s) { s.cursorY = 376; }), OsdAnimation::kSlideDown},
      {"cursor above", With([](OsdShowConditions& s) { s.cursorY = 10; }), OsdAnimation::kSlideDown},
      {"window above the screen", With([](OsdShowConditions& s) {
         s.windowTop = -40;
         s.cursorY = -39;
       }),
       OsdAnimation::kSlideUp},
      {"cursor unknown", With([](OsdShowConditions& s) { s.cursorKnown = false; }), OsdAnimation::kSlideDown},
  };
  for (const AnimationCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(ChooseOsdAnimation(c.show), c.expected);
  }
}

}  // namespace
}  // namespace klv
