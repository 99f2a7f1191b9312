// The stand-in player's transport: a playlist, a clock and the play modes.
// Free of the platform so that it can be driven with made-up tick counts.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace player {

struct Track {
  Track(std::string title, int lengthSeconds, std::wstring wideTitle = {})
      : title(std::move(title)), lengthSeconds(lengthSeconds), wideTitle(std::move(wideTitle)) {}

  std::string title;  // ANSI bytes, as the host hands them out (request 212)
  int lengthSeconds;
  std::wstring wideTitle;  // UTF-16, as the host hands it out wide (request 213)
  std::wstring path;       // the file on disk (requests 211 and 214)
  int rating = 0;          // 0..5 (requests 640 and 639)
};

enum class PlayState { kStopped, kPlaying, kPaused };

class Playback {
 public:
  static constexpr int kMaxVolume = 255;

  Playback(std::vector<Track> tracks, uint32_t randomSeed);

  // Commands; `now` is a millisecond tick count (wraps like GetTickCount).
  void Play(uint32_t now);
  void Pause(uint32_t now);  // toggles between playing and paused
  void Stop(uint32_t now);
  void Next(uint32_t now);
  void Previous(uint32_t now);
  void SkipBy(int deltaMs, uint32_t now);
  void Seek(int positionMs, uint32_t now);
  void JumpTo(int index, uint32_t now);  // selects the entry and plays it
  void Select(int index);                // selects without touching the clock
  void ChangeVolume(int delta);
  void ToggleRepeat() { repeat_ = !repeat_; }
  void ToggleShuffle() { shuffle_ = !shuffle_; }
  void ToggleStopAfterCurrent() { stopAfterCurrent_ = !stopAfterCurrent_; }
  void SetRepeat(bool on) { repeat_ = on; }
  void SetShuffle(bool on) { shuffle_ = on; }
  void SetVolume(int volume);
  // The current entry's rating, kept within 0..5.
  void SetRating(int rating);

  // Moves on to the following entry once the current one has played out.
  void Tick(uint32_t now);

  // Answers: position in ms (-1 when stopped), length in s (-1 when none).
  int PositionMs(uint32_t now) const;
  int LengthSeconds() const;
  int Index() const { return index_; }
  int Count() const { return static_cast<int>(tracks_.size()); }
  const Track* TrackAt(int index) const;
  PlayState State() const { return state_; }
  bool Repeat() const { return repeat_; }
  bool Shuffle() const { return shuffle_; }
  bool StopAfterCurrent() const { return stopAfterCurrent_; }
  int Volume() const { return volume_; }
  // Rounded half up, as the plug-in's OSD shows the level.
  int VolumePercent() const { return (volume_ * 200 + kMaxVolume) / (2 * kMaxVolume); }
  // Counts every start of a track from its beginning, also the moves on at the end of one.
  uint32_t Starts() const { return starts_; }

 private:
  void StartAt(int index, int positionMs, uint32_t now);
  int FollowingIndex(bool wrap);
  int RandomOtherIndex();

  std::vector<Track> tracks_;
  int index_ = 0;
  PlayState state_ = PlayState::kStopped;
  // While playing the position is anchorPositionMs_ + (now - anchorTick_);
  // while paused it is anchorPositionMs_.
  int anchorPositionMs_ = 0;
  uint32_t anchorTick_ = 0;
  bool repeat_ = false;
  bool shuffle_ = false;
  bool stopAfterCurrent_ = false;
  int volume_ = 200;
  uint32_t starts_ = 0;
  uint32_t random_;
};

// The built-in playlist: titles with "&", with cp1252 bytes, one in Cyrillic
// and Greek that no ANSI code page holds (it has its wide title only), one
// longer than 255 characters and one in Cyrillic alone, so that hosts'
// clients meet the awkward cases.
// The player completes each title from the other in the system's code page.
std::vector<Track> DemoPlaylist();

}  // namespace player
