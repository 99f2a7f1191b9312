// OsdFont and the OSD's colours as GDI takes them.
#pragma once

#include <windows.h>

#include <cstdint>

// A settings colour as GDI takes it: negative values name a system colour.
COLORREF ResolveOsdColor(uint32_t color);

// OsdFont as a LOGFONT at the screen's resolution: gSettings.osdFont (its
// UTF-8 name in UTF-16) with the character set and pitch kept from the last
// font chosen (default at first).
LOGFONTW OsdLogFont();
// Keeps a chosen font's character set and pitch with OsdFont; the settings
// file has no keys for them, so they last until the library is unloaded.
void KeepOsdFontCharacter(BYTE charSet, BYTE pitchAndFamily);
// Back to the default character set and pitch, as at the library's start.
void ResetOsdFontCharacter();
