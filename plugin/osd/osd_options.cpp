#include "plugin/osd/osd_options.h"

#include "plugin/osd/osd_style.h"
#include "plugin/osd/osd_window.h"
#include "plugin/osd/player_change_osd.h"
#include "plugin/plugin_state.h"

void SetOsdEnabled(bool enabled) {
  gSettings.osdEnabled = enabled;
  FollowPlayerAnew();
}

void SetOsdPosition(uint8_t position) { gSettings.osdPosition = position; }

void SetOsdDisplayTime(int32_t milliseconds) { gSettings.osdDisplayTime = milliseconds; }

void SetOsdMonitor(klv::OsdMonitor monitor) { gSettings.osdMonitor = static_cast<int32_t>(monitor); }

// What the OSD follows of the player may have changed: it is read afresh.
void SetOsdOption(bool klv::Settings::*option, bool enabled) {
  gSettings.*option = enabled;
  FollowPlayerAnew();
}

void SetOsdColor(uint32_t color) {
  gSettings.osdColor = color;
  ApplyOsdColor();
}

void SetOsdFont(const klv::OsdFontSettings& font, BYTE charSet, BYTE pitchAndFamily) {
  gSettings.osdFont = font;
  KeepOsdFontCharacter(charSet, pitchAndFamily);
  ApplyOsdFont();
}
