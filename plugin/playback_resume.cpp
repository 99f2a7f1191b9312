// Play on start, and the seek back to where the host was last closed.
#include "plugin/playback_resume.h"

#include "core/osd_text.h"
#include "plugin/host.h"
#include "plugin/osd_window.h"
#include "plugin/plugin_state.h"
#include "plugin/track_change_osd.h"
#include "plugin/track_cover.h"

void PlayOnStart() {
  if (!gSettings.playOnStart) return;
  const OwnTrackStart own;  // the start-up text below is this start's one OSD
  HostRequest(klv::kHostStartPlayback);
  // Seek whatever the shuffle state: the remembered position is the user's wish either way.
  if (gSettings.rememberPosition) HostRequest(klv::kHostSeek, gLastPlaybackPosition);
  if (gSettings.osdEnabled) ShowTrackOsd(klv::StartupOsdText(OsdTextHost()));
}
