// The on-screen display: a topmost tooltip-style window that never activates.
// One object, built at start; its platform window exists only while the OSD
// is on screen.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/cover/jpeg_decode.h"

void PrepareOsd();  // at start: font, window class and animation; no window yet
// The cover an OSD that names a track shows left of its text.
struct OsdCover {
  std::u16string path;                           // the file the OSD names
  std::shared_ptr<const klv::BgrImage> picture;  // fitted to side x side; null: none (yet)
  int side = 0;
};

// Creates or reuses the window, places and shows it.
void ShowOsd(const std::string& utf8Text, OsdCover cover = {});
// A cover that arrived late: drawn in, and the OSD placed again, when the OSD
// on screen still names that file and shows no picture yet.
void OfferOsdCover(const std::u16string& path, std::shared_ptr<const klv::BgrImage> picture);
void CheckOsdExpiry();            // destroys the window once the display time is up
void DestroyOsdPlatformWindow();  // takes the OSD off screen; font, colour and text stay
void ReleaseOsd();                // quit: off screen, and the font and window class freed
HWND OsdPlatformWindow();         // null while the OSD is off screen
void ForgetOsdScreen();           // the display changed: the next show reads the monitors again

// Give the OSD window a copy of OsdFont, or the background colour osdColor,
// and repaint an OSD on screen at once at its size and place.
void ApplyOsdFont();
void ApplyOsdColor();

// The millisecond clock behind the display time and the animation gap; null
// restores the tick count. Lets tests step over display times.
using OsdClock = DWORD (*)();
void SetOsdClock(OsdClock clock);
