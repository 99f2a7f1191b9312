// Play on start, and the seek back to where the host was last closed.
#include "playback_resume.h"

#include "core/osd_text.h"
#include "host.h"
#include "osd_window.h"
#include "plugin_state.h"

void PlayOnStart() {
  if (!gSettings.playOnStart) return;
  HostRequest(klv::kHostStartPlayback);
  // Seek whatever the shuffle state: the remembered position is the user's wish either way.
  if (gSettings.rememberPosition) HostRequest(klv::kHostSeek, gLastPlaybackPosition);
  if (gSettings.osdEnabled) ShowOsd(klv::StartupOsdText(HostQueryFunction()));
}
