// Where a track's cover comes from, read on a lookup's own thread: the host's
// album art service, or on a host without one the picture beside the file.
// Both fit the picture to a side x side square; false means no cover.
#pragma once

#include <string>

#include "core/cover/jpeg_decode.h"
#include "win32/host/host_services.h"

bool ReadServiceCover(ServiceObject* serviceManager, const std::u16string& path, int side,
                      klv::BgrImage& cover);
// The first of the folder pictures found beside the file is its cover, whole or not.
bool ReadFolderCover(const std::u16string& path, int side, klv::BgrImage& cover);
