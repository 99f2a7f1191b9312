// The user's steps through the host's requests: the position read (105) and
// jumped to (106), the volume read and set (122).
#include "plugin/hotkeys/step_actions.h"

#include "core/host_codes.h"
#include "core/hotkeys/player_steps.h"
#include "plugin/host/host.h"
#include "plugin/plugin_state.h"

namespace {

int32_t ReadVolume() { return static_cast<int32_t>(HostRequest(klv::kHostVolume, klv::kHostVolumeQuery)); }

// The host takes the low byte of what it is given: only ever 0..255.
void SetVolume(int32_t volume) { HostRequest(klv::kHostVolume, volume); }

void SeekByStep(int direction) {
  const auto position = static_cast<int32_t>(HostRequest(klv::kHostPosition, 0));
  // Nothing plays: the player's own Forward does nothing either.
  if (position < 0) return;
  HostRequest(klv::kHostSeek, klv::SeekTarget(position, gSettings.seekSeconds, direction));
}

// False where the player's own command is to do the step.
bool StepVolume(int direction) {
  const int32_t percent = gSettings.volumePercent;
  if (percent == klv::kPlayerVolumeStep && gSettings.mutedVolume == 0) return false;
  const int32_t volume = ReadVolume();
  if (!klv::IsVolume(volume)) return false;
  // While muted the step starts from the level the player had; either way the mute is over.
  const int32_t from = klv::VolumeToStepFrom(volume, gSettings.mutedVolume);
  gSettings.mutedVolume = 0;
  if (percent == klv::kPlayerVolumeStep) {
    if (from != volume) SetVolume(from);
    return false;
  }
  SetVolume(klv::SteppedVolume(from, percent, direction));
  return true;
}

}  // namespace

bool TakeUserStep(uint32_t command) {
  switch (command) {
    case klv::kCommandForward:
    case klv::kCommandRewind:
      if (gSettings.seekSeconds == klv::kPlayerSeekSeconds) return false;
      SeekByStep(command == klv::kCommandForward ? +1 : -1);
      return true;
    case klv::kCommandVolumeUp:
    case klv::kCommandVolumeDown:
      return StepVolume(command == klv::kCommandVolumeUp ? +1 : -1);
    default:
      return false;
  }
}

bool SetSeekSeconds(int32_t seconds) {
  if (klv::SeekSecondsFrom(seconds) != seconds) return false;
  gSettings.seekSeconds = seconds;
  return true;
}

bool SetVolumePercent(int32_t percent) {
  if (klv::VolumePercentFrom(percent) != percent) return false;
  gSettings.volumePercent = percent;
  return true;
}

int32_t ToggleHostMute() {
  const klv::MuteStep step = klv::ToggleMute(ReadVolume(), gSettings.mutedVolume);
  gSettings.mutedVolume = step.mutedVolume;
  if (step.setVolume >= 0) SetVolume(step.setVolume);
  return step.unmuted ? step.setVolume : -1;
}
