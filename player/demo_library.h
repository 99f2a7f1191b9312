// The demo playlist as files on disk, one album folder each, so that the
// album art service and the pictures beside a file have something to find.
#pragma once

#include <string>
#include <vector>

#include "player/playback.h"

namespace player {

// Makes <directory>\Demo Music\Album N\Track N.mp3 for each track (empty
// files: the stand-in plays by its clock), with a drawn cover.jpg for some
// albums and none for others, and gives each track its path.
void PlaceDemoLibrary(const std::string& directory, std::vector<Track>& tracks);

}  // namespace player
