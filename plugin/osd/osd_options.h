// The configuration dialog's changes to the OSD's settings, each stored at
// once; the colour and the font also reach an OSD on screen.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/settings/settings.h"

void SetOsdEnabled(bool enabled);
void SetOsdPosition(uint8_t position);  // 0..8: column = position div 3, row = position mod 3
void SetOsdDisplayTime(int32_t milliseconds);
void SetOsdMonitor(klv::OsdMonitor monitor);
// One of the OSD's on/off options (osdHideFullScreen, osdOnTrackChange, ...).
void SetOsdOption(bool klv::Settings::*option, bool enabled);
void SetOsdColor(uint32_t color);
// A chosen font, with the character set and pitch the file has no keys for.
void SetOsdFont(const klv::OsdFontSettings& font, BYTE charSet, BYTE pitchAndFamily);
