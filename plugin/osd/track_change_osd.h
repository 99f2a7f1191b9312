// The now-playing OSD: the start-up text each time the host starts a track.
#pragma once

#include <windows.h>

// A WM_USER the host main window receives; acts only on the host's own
// track-start notifications, whose wParam is the started file's path.
void OnHostNotification(WPARAM path, LPARAM code);

// Held around an action of ours: a track it starts keeps the action's own OSD.
class OwnTrackStart {
 public:
  OwnTrackStart() noexcept;
  ~OwnTrackStart();
  OwnTrackStart(const OwnTrackStart&) = delete;
  OwnTrackStart& operator=(const OwnTrackStart&) = delete;
};
