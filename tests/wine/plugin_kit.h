// What the suites that link the plug-in's libraries share: its state reset
// for each test, text measured in the OSD's font and the OSD's clock held by
// the test.
#pragma once

#include <windows.h>

#include <string>

// Settings at their defaults, the hotkey rows empty (nothing assigned,
// registered or held), no atom of ours left, and the host window the plug-in drives.
void ResetPluginState(HWND hostMain);

// The text's extent as the platform measures it in the font the OSD window
// holds, broken to the screen width as the OSD breaks it. The narrow form
// takes ASCII texts.
SIZE MeasureInOsdFont(const std::wstring& text, UINT format = DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
SIZE MeasureInOsdFont(const std::string& asciiText, UINT format = DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);

// The OSD's clock held by the test for as long as this object lives, so that
// display times pass at the test's word rather than with the machine's load.
class ManualOsdClock {
 public:
  explicit ManualOsdClock(DWORD now);
  ~ManualOsdClock();
  ManualOsdClock(const ManualOsdClock&) = delete;
  ManualOsdClock& operator=(const ManualOsdClock&) = delete;
  void Set(DWORD now);

 private:
  static DWORD Read();
  static DWORD now_;
};
