// The on-screen display: a topmost tooltip-style window that never activates.
#pragma once

#include <windows.h>

#include <string>

void CreateOsdWindow();  // at start: font and window class; the window waits for the first text
void ShowOsd(const std::string& utf8Text);  // measured, drawn and set as window text in UTF-16
void CheckOsdExpiry();                      // hides the OSD once its display time is up
void HideOsd();
void DestroyOsdWindow();  // quit: hides the OSD, frees its font and window class
void ChooseOsdColor(HWND owner);
void ChooseOsdFont(HWND owner);
HWND OsdPlatformWindow();  // null while the OSD is off screen
void ForgetOsdScreen();    // the display changed: the next show reads the screen's size again

// The millisecond clock behind the display time and the animation gap; null
// restores the tick count. Lets tests step over display times.
using OsdClock = DWORD (*)();
void SetOsdClock(OsdClock clock);
