#include "player/playback.h"

#include <algorithm>
#include <utility>

namespace player {

Playback::Playback(std::vector<Track> tracks, uint32_t randomSeed)
    : tracks_(std::move(tracks)), random_(randomSeed | 1u) {}

void Playback::Play(uint32_t now) {
  if (tracks_.empty()) return;
  if (state_ == PlayState::kPaused) {
    anchorTick_ = now;
    state_ = PlayState::kPlaying;
    return;
  }
  StartAt(index_, 0, now);
}

void Playback::Pause(uint32_t now) {
  if (state_ == PlayState::kPlaying) {
    anchorPositionMs_ = PositionMs(now);
    state_ = PlayState::kPaused;
  } else if (state_ == PlayState::kPaused) {
    anchorTick_ = now;
    state_ = PlayState::kPlaying;
  }
}

void Playback::Stop(uint32_t) {
  state_ = PlayState::kStopped;
  anchorPositionMs_ = 0;
}

void Playback::Next(uint32_t now) {
  if (tracks_.empty()) return;
  int next = FollowingIndex(true);
  if (state_ == PlayState::kStopped) {
    index_ = next;
  } else {
    StartAt(next, 0, now);
  }
}

void Playback::Previous(uint32_t now) {
  if (tracks_.empty()) return;
  int previous = index_ > 0 ? index_ - 1 : Count() - 1;
  if (state_ == PlayState::kStopped) {
    index_ = previous;
  } else {
    StartAt(previous, 0, now);
  }
}

void Playback::SkipBy(int deltaMs, uint32_t now) {
  if (state_ == PlayState::kStopped) return;
  Seek(PositionMs(now) + deltaMs, now);
}

void Playback::Seek(int positionMs, uint32_t now) {
  if (state_ == PlayState::kStopped) return;
  anchorPositionMs_ = std::clamp(positionMs, 0, LengthSeconds() * 1000);
  anchorTick_ = now;
  Tick(now);
}

void Playback::JumpTo(int index, uint32_t now) {
  if (TrackAt(index) == nullptr) return;
  StartAt(index, 0, now);
}

void Playback::Select(int index) {
  if (TrackAt(index) != nullptr) index_ = index;
}

void Playback::ChangeVolume(int delta) { SetVolume(volume_ + delta); }

void Playback::SetRating(int rating) {
  if (!tracks_.empty()) tracks_[static_cast<size_t>(index_)].rating = std::clamp(rating, 0, 5);
}

void Playback::SetVolume(int volume) { volume_ = std::clamp(volume, 0, kMaxVolume); }

void Playback::Tick(uint32_t now) {
  // Bounded: a long stall (or zero-length entries) must not spin forever.
  for (int guard = 0; guard <= Count() && state_ == PlayState::kPlaying; ++guard) {
    int lengthMs = LengthSeconds() * 1000;
    int64_t elapsed = static_cast<int64_t>(static_cast<uint32_t>(now - anchorTick_));
    if (anchorPositionMs_ + elapsed < lengthMs) return;
    // The following entry starts when this one ended, not at this tick.
    uint32_t endTick = anchorTick_ + static_cast<uint32_t>(lengthMs - anchorPositionMs_);
    if (stopAfterCurrent_) {
      stopAfterCurrent_ = false;
      Stop(now);
      return;
    }
    int next = FollowingIndex(repeat_);
    if (next < 0) {
      Stop(now);
      return;
    }
    StartAt(next, 0, endTick);
  }
}

int Playback::PositionMs(uint32_t now) const {
  if (state_ == PlayState::kStopped || tracks_.empty()) return -1;
  int64_t position = anchorPositionMs_;
  if (state_ == PlayState::kPlaying) position += static_cast<uint32_t>(now - anchorTick_);
  return static_cast<int>(std::min<int64_t>(position, LengthSeconds() * 1000));
}

int Playback::LengthSeconds() const {
  const Track* track = TrackAt(index_);
  return track != nullptr ? track->lengthSeconds : -1;
}

const Track* Playback::TrackAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &tracks_[static_cast<size_t>(index)];
}

void Playback::StartAt(int index, int positionMs, uint32_t now) {
  index_ = index;
  anchorPositionMs_ = positionMs;
  anchorTick_ = now;
  state_ = PlayState::kPlaying;
  ++starts_;
}

int Playback::FollowingIndex(bool wrap) {
  if (shuffle_) return RandomOtherIndex();
  if (index_ + 1 < Count()) return index_ + 1;
  return wrap ? 0 : -1;
}

int Playback::RandomOtherIndex() {
  if (Count() < 2) return 0;
  // xorshift32: any spread will do, it only has to avoid the current entry.
  random_ ^= random_ << 13;
  random_ ^= random_ >> 17;
  random_ ^= random_ << 5;
  int pick = static_cast<int>(random_ % static_cast<uint32_t>(Count() - 1));
  return pick >= index_ ? pick + 1 : pick;
}

std::vector<Track> DemoPlaylist() {
  std::string longTitle = "Orchestra of the Long Afternoon - ";
  while (longTitle.size() < 300) longTitle += "An Overture That Refuses To End, ";
  longTitle += "Finale";
  // "Ночной город - Νυχτερινή πόλη", night city in Russian and in Greek.
  const std::wstring nightCity =
      L"\u041d\u043e\u0447\u043d\u043e\u0439 \u0433\u043e\u0440\u043e\u0434 - "
      L"\u039d\u03c5\u03c7\u03c4\u03b5\u03c1\u03b9\u03bd\u03ae \u03c0\u03cc\u03bb\u03b7";
  return {
      {"Demo Ensemble - Opening Theme", 187},
      {"", 203, nightCity},
      {"Salt & Pepper - Kitchen Stories", 24},
      {"Caf\xE9 Noir - Le Petit D\xE9jeuner", 242},
      {longTitle, 421},
      {"The Short Ones - Twelve Seconds", 12},
      // "Кино — Группа крови": Cyrillic alone, which a caption's font shows whole.
      {"", 285,
       L"\u041a\u0438\u043d\u043e \u2014 \u0413\u0440\u0443\u043f\u043f\u0430 "
       L"\u043a\u0440\u043e\u0432\u0438"},
  };
}

}  // namespace player
