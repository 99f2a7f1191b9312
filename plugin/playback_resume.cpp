// Play on start, and the seek back to where the host was last closed.
#include "plugin/playback_resume.h"

#include "core/osd/osd_text.h"
#include "plugin/cover/track_cover.h"
#include "plugin/host/host.h"
#include "plugin/osd/osd_window.h"
#include "plugin/osd/track_change_osd.h"
#include "plugin/plugin_state.h"

void PlayOnStart() {
  if (!gSettings.playOnStart) return;
  const OwnTrackStart own;  // the start-up text below is this start's one OSD
  HostRequest(klv::kHostStartPlayback);
  // Seek whatever the shuffle state: the remembered position is the user's wish either way.
  if (gSettings.rememberPosition) HostRequest(klv::kHostSeek, gSettings.playbackPosition);
  if (gSettings.osdEnabled) ShowTrackOsd(klv::StartupOsdText(OsdTextHost()));
}

void SetPlayOnStart(bool enabled) { gSettings.playOnStart = enabled; }

void SetRememberPosition(bool enabled) { gSettings.rememberPosition = enabled; }
