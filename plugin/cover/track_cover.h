// The playing track's cover on the OSD. Lookups run on threads of their own,
// never the host's: a cover can sit on a slow disk or behind the network. The
// OSD shows at once with its text, and the picture is drawn in when it comes.
#pragma once

#include <string>

// From start to quit: lookups may run (the window that receives them is made
// at the first), four at a time, the newest of the tracks waiting for one
// taking the next free slot. A quit waits for no lookup: one still running
// calls nothing of the host's from then on, since the host deletes its
// services right after its plug-ins' quit, and what it holds of the host's
// is left to the ending process; what it finds is thrown away.
void StartCoverLookups();
void StopCoverLookups();

// An OSD whose text names the playing track: with its cover when the user
// asked for covers (a cached one at once, one still to be looked up later).
void ShowTrackOsd(const std::string& utf8Text);
// A track started: its cover is looked up now, so that it is there for the next OSD.
void PrefetchPlayingCover();
