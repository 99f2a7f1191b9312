// The now-playing OSD. The 5.x host tells its main window of every track
// start twice, sending the 8-bit notification and then the UTF-16 one, both
// before the command that caused the start returns.
#include "plugin/track_change_osd.h"

#include "core/osd_text.h"
#include "plugin/host.h"
#include "plugin/osd_window.h"
#include "plugin/plugin_state.h"
#include "plugin/track_cover.h"

namespace {

int gOwnActions = 0;        // actions of ours under way (a modal step can nest them)
bool gWideTwinDue = false;  // the 8-bit notice of a start came; its UTF-16 twin is the same start

}  // namespace

OwnTrackStart::OwnTrackStart() noexcept { ++gOwnActions; }
OwnTrackStart::~OwnTrackStart() { --gOwnActions; }

void OnHostNotification(LPARAM code) {
  if (code == klv::kHostTrackStarted) {
    gWideTwinDue = true;
  } else if (code == klv::kHostTrackStartedWide) {
    // Alone, from a host that sends only this one, it is a start of its own.
    const bool twin = gWideTwinDue;
    gWideTwinDue = false;
    if (twin) return;
  } else {
    return;
  }
  PrefetchPlayingCover();
  if (gOwnActions > 0 || !gSettings.osdEnabled || !gSettings.osdOnTrackChange) return;
  ShowTrackOsd(klv::StartupOsdText(OsdTextHost()));
}
