// OSD texts, composed from fresh host answers at the moment they are shown.
#include "core/osd/osd_text.h"

#include "core/hotkeys/hotkey_actions.h"
#include "core/utf16_text.h"

namespace klv {
namespace {

constexpr const char* kNoTimeText = "[0:00/0:00]";

std::string TwoDigits(int32_t value) {
  const std::string digits = std::to_string(value);
  return value < 10 ? "0" + digits : digits;
}

// The host's answer as the 32-bit value the host meant, whatever the width of intptr_t.
int32_t AnswerAsInt32(intptr_t answer) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uintptr_t>(answer)));
}

// Up to kMaxTitleLength bytes before the first NUL; never reads past the NUL,
// since the host's buffer may end right there.
std::string ReadBoundedTitle(const char* title) {
  size_t length = 0;
  while (length < kMaxTitleLength && title[length] != '\0') ++length;
  return std::string(title, length);
}

std::string TitleAndTime(const char* prefix, const OsdHost& host) {
  std::string text = prefix;
  text += TrackTitleText(host);
  text += TrackTimeText(host.query);
  return text;
}

std::string StateText(const char* stem, int stateCode, const HostQuery& host) {
  const bool on = host(stateCode, 0) == 1;
  return std::string(stem) + (on ? " On" : " Off");
}

// The host's volume, 0..255, as a percentage rounded half up; an answer out
// of that range keeps the fixed text.
std::string LevelText(const char* stem, int32_t volume) {
  if (volume < 0 || volume > 255) return stem;
  return std::string(stem) + " : " + std::to_string((volume * 200 + 255) / 510) + "%";
}

std::string VolumeText(const char* stem, const HostQuery& host) {
  return LevelText(stem, AnswerAsInt32(host(kHostVolume, kHostVolumeQuery)));
}

// The rating the host reads back, out of five, when it is the one just set;
// any other answer shows the action's name alone. A player that keeps no
// ratings answers 1 to both requests, and a real one reads back what it set.
std::string RatingText(const char* name, const HostQuery& host, int32_t ratingSet) {
  const int32_t rating = AnswerAsInt32(host(kHostRating, 0));
  if (rating < 0 || rating > 5 || rating != ratingSet) return name;
  return "Rating : " + std::to_string(rating) + "/5";
}

}  // namespace

std::string TrackTitleText(const OsdHost& host) {
  const intptr_t index = host.query(kHostPlaylistIndex, 0);
  std::string title;
  const intptr_t wide = host.query(kHostWideTitleAt, index);
  if (IsHostAddress(wide)) {
    title = Utf16ToUtf8(ReadBoundedWideText(reinterpret_cast<const char16_t*>(wide), kMaxTitleLength));
  } else {
    // A host without wide titles; an empty playlist answers with no title at
    // all, a failing host with -1: either shows as an empty title.
    const intptr_t address = host.query(kHostTitleAt, index);
    if (IsHostAddress(address))
      title = host.ansiToUtf8(ReadBoundedTitle(reinterpret_cast<const char*>(address)));
  }
  return "\"" + title + "\" ";
}

std::string TrackTimeText(const HostQuery& host) {
  // Both questions are always asked, even when the first answer already rules the text.
  const int32_t positionMs = AnswerAsInt32(host(kHostPosition, 0));
  const int32_t lengthSeconds = AnswerAsInt32(host(kHostPosition, 1));
  return FormatTrackTime(positionMs, lengthSeconds);
}

std::string FormatTrackTime(int32_t positionMs, int32_t lengthSeconds) {
  if (positionMs == -1 || lengthSeconds == -1) return kNoTimeText;
  const int32_t elapsed = positionMs / 1000;
  const int32_t elapsedMinutes = elapsed / 60;
  const int32_t elapsedSeconds = elapsed - elapsedMinutes * 60;
  const int32_t totalMinutes = lengthSeconds / 60;
  const int32_t totalSeconds = lengthSeconds - totalMinutes * 60;
  return "[" + std::to_string(elapsedMinutes) + ":" + TwoDigits(elapsedSeconds) + "/" +
         std::to_string(totalMinutes) + ":" + TwoDigits(totalSeconds) + "]";
}

std::string ActionOsdText(int row, const OsdHost& host, bool volumeLevel, int32_t ratingSet) {
  if (row < 0 || row >= kHotkeyCount) return std::string();
  const HotkeyAction& action = kHotkeyActions[row];
  switch (action.osdKind) {
    case OsdTextKind::kTitleAndTime:
      return TitleAndTime(action.osdText, host);
    case OsdTextKind::kFixed:
      return action.osdText;
    case OsdTextKind::kVolume:
      return volumeLevel ? VolumeText(action.osdText, host.query) : action.osdText;
    case OsdTextKind::kRepeatState:
      return StateText(action.osdText, kHostRepeatState, host.query);
    case OsdTextKind::kShuffleState:
      return StateText(action.osdText, kHostShuffleState, host.query);
    case OsdTextKind::kRating:
      return RatingText(action.osdText, host.query, ratingSet);
    case OsdTextKind::kOfChosenCommand:
      break;  // no text of its own: the caller composes the chosen row's
  }
  return std::string();
}

std::string StartupOsdText(const OsdHost& host) { return TitleAndTime("", host); }

std::string VolumeOsdText(int32_t volume) { return LevelText("Volume", volume); }

}  // namespace klv
