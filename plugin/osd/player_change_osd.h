// The OSD for what the player changes by any means: a pause, a resume, a stop
// and the volume, told by the notices it posts its main window.
#pragma once

#include <windows.h>

// A WM_USER the host main window receives; acts only on the host's 603
// notices, whose wParam says what changed.
void OnPlayerChangeNotice(WPARAM what, LPARAM code);
// The host started a track: the now-playing OSD's business, no change of state.
void NoteHostTrackStart();
// After an action of ours: the play state or volume it left is its own, and
// the notices its command causes show nothing more.
void NoteOwnPlayState();
void NoteOwnVolume();
// At start, and whenever the options change: what is followed is read afresh.
void FollowPlayerAnew();
