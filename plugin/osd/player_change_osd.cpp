// The player's notices of its play state and volume, shown as our own actions
// show them.
#include "plugin/osd/player_change_osd.h"

#include "core/osd/osd_text.h"
#include "core/osd/player_follow.h"
#include "plugin/cover/track_cover.h"
#include "plugin/host/host.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"

namespace {

klv::PlayerFollower gFollower;

klv::FollowOptions Followed() {
  return {gSettings.osdEnabled && gSettings.osdOnPlayState,
          gSettings.osdEnabled && gSettings.osdOnVolumeChange};
}

}  // namespace

void OnPlayerChangeNotice(WPARAM what, LPARAM code) {
  if (code != klv::kHostChanged) return;
  const klv::OsdHost host = OsdTextHost();
  const klv::FollowedChange change = gFollower.OnNotice(static_cast<intptr_t>(what), Followed(), host.query);
  // The texts of the Play, Pause and Stop actions, title and time as they show them.
  if (change.stateRow >= 0) ShowTrackOsd(klv::ActionOsdText(change.stateRow, host));
  if (change.volume >= 0) ShowOsd(klv::VolumeOsdText(change.volume));
}

void NoteHostTrackStart() { gFollower.OnTrackStart(); }

void NoteOwnPlayState() { gFollower.NoteOwnState(Followed(), OsdTextHost().query); }

void NoteOwnVolume() { gFollower.NoteOwnVolume(Followed(), OsdTextHost().query); }

void FollowPlayerAnew() {
  gFollower.Forget();
  NoteOwnPlayState();
  NoteOwnVolume();
}
