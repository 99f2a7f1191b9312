// Where a track's cover comes from, read on a lookup's own thread: the host's
// album art service, or on a host without one the picture beside the file.
// Both fit the picture to a side x side square; false means no cover.
#pragma once

#include <string>

#include "core/cover/jpeg_decode.h"
#include "plugin/cover/service_life.h"
#include "win32/host/host_services.h"

// Calls the services only while life says they stand; the host's pixels go
// back to it however the fit ends, unless it is gone by then.
bool ReadServiceCover(ServiceObject* serviceManager, ServiceLife& life, const std::u16string& path, int side,
                      klv::BgrImage& cover);
// The first of the folder pictures found beside the file is its cover, whole or not.
bool ReadFolderCover(const std::u16string& path, int side, klv::BgrImage& cover);
