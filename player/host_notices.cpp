// The 5.x player's notices to its own main window of what changed, as its
// published source gives them: a track start sends 3003 and 13003, then posts
// the title and state notices; a stop sends 3043, then posts them; a pause or
// a resume posts them and then its own (as the 5.65 player and later do); a
// change of the volume, whoever made it, posts its notice. The 2.x player has
// none of them.
#include "core/host_codes.h"
#include "player/player_app.h"
#include "player/track_titles.h"

namespace player {
namespace {

struct Announced {
  uint32_t starts = 0;
  PlayState state = PlayState::kStopped;
  int volume = -1;  // -1 until the first announcement: the volume at start is no change
};
Announced gAnnounced;

void Post(klv::HostChange what) { PostMessageW(gApp->mainWindow, WM_USER, what, klv::kHostChanged); }

void SendTrackStart() {
  const Playback& playback = gApp->playback;
  const Track* track = playback.TrackAt(playback.Index());
  const std::wstring widePath = track != nullptr ? track->path : std::wstring();
  const std::string path = ToAnsi(widePath);
  SendMessageW(gApp->mainWindow, WM_USER, reinterpret_cast<WPARAM>(path.c_str()), klv::kHostTrackStarted);
  SendMessageW(gApp->mainWindow, WM_USER, reinterpret_cast<WPARAM>(widePath.c_str()),
               klv::kHostTrackStartedWide);
}

}  // namespace

bool AnnounceChanges() {
  const Playback& playback = gApp->playback;
  const Announced before = gAnnounced;
  gAnnounced = {playback.Starts(), playback.State(), playback.Volume()};
  const Announced& now = gAnnounced;
  const bool started = now.starts != before.starts;
  if (gApp->classicHost || gApp->mainWindow == nullptr) return started;
  if (started) {
    SendTrackStart();
    Post(klv::kChangedTitle);
    Post(klv::kChangedState);
  } else if (now.state != before.state) {
    if (now.state == PlayState::kStopped) {
      klv::HostStopInfo stop{0, 1};
      SendMessageW(gApp->mainWindow, WM_USER, reinterpret_cast<WPARAM>(&stop), klv::kHostStopped);
    }
    Post(klv::kChangedTitle);
    Post(klv::kChangedState);
    if (now.state == PlayState::kPaused) Post(klv::kChangedPaused);
    if (before.state == PlayState::kPaused && now.state == PlayState::kPlaying) Post(klv::kChangedResumed);
  }
  if (before.volume >= 0 && now.volume != before.volume) Post(klv::kChangedVolume);
  return started;
}

}  // namespace player
