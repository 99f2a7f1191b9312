// The now-playing OSD. The 5.x host tells its main window of every track
// start twice, sending the 8-bit notification and then the UTF-16 one, both
// before the command that caused the start returns.
#include "plugin/osd/track_change_osd.h"

#include <cstring>
#include <string>

#include "core/osd/osd_text.h"
#include "plugin/cover/track_cover.h"
#include "plugin/host/host.h"
#include "plugin/osd/osd_window.h"
#include "plugin/osd/player_change_osd.h"
#include "plugin/plugin_state.h"
#include "win32/text_encoding.h"

namespace {

int gOwnActions = 0;        // actions of ours under way (a modal step can nest them)
bool gWideTwinDue = false;  // the 8-bit notice of a start came; its UTF-16 twin is the same start
std::string gTwinPath;      // that notice's path, in UTF-8

// Longer than any path the host plays; the texts are the host's to end.
constexpr size_t kMaxPathUnits = 32767;

std::string NarrowPath(WPARAM path) {
  if (path == 0) return std::string();
  const char* text = reinterpret_cast<const char*>(path);
  return AnsiToUtf8(std::string_view(text, strnlen(text, kMaxPathUnits)));
}

// The UTF-16 path as the host's 8-bit notice gives it: through the code page.
std::string WidePathNarrowed(WPARAM path) {
  if (path == 0) return std::string();
  return Utf8ThroughCodePage(
      WideToUtf8(ReadBoundedWide(reinterpret_cast<const wchar_t*>(path), kMaxPathUnits)));
}

}  // namespace

OwnTrackStart::OwnTrackStart() noexcept { ++gOwnActions; }
OwnTrackStart::~OwnTrackStart() { --gOwnActions; }

void OnHostNotification(WPARAM path, LPARAM code) {
  if (code == klv::kHostTrackStarted) {
    gWideTwinDue = true;
    gTwinPath = NarrowPath(path);
  } else if (code == klv::kHostTrackStartedWide) {
    // Alone, from a host that sends only this one, or after an 8-bit notice
    // of another path (one whose twin never came), it is a start of its own.
    const bool twin = gWideTwinDue && WidePathNarrowed(path) == gTwinPath;
    gWideTwinDue = false;
    if (twin) return;
  } else {
    return;
  }
  NoteHostTrackStart();
  PrefetchPlayingCover();
  if (gOwnActions > 0 || !gSettings.osdEnabled || !gSettings.osdOnTrackChange) return;
  ShowTrackOsd(klv::StartupOsdText(OsdTextHost()));
}
