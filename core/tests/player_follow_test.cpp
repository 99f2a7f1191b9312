#include "core/osd/player_follow.h"

#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"

namespace klv {
namespace {

// The player as its published source behaves: request 104 answers 1 playing, 3 paused, 0
// stopped; 122 the volume. A pause or resume posts 0 and 2 (and 7 or 8 from 5.65 on), a stop 0
// and 2, a track start sends 3003 and posts 0 and 2, a volume or balance change posts 1.
struct Player {
  bool from565 = true;
  int32_t state = 0;
  int32_t volume = 158;
  FollowOptions follow;
  int unfollowedAsks = 0;  // what is not followed is never asked for
  std::vector<intptr_t> posted;

  HostQuery Query() {
    return [this](int code, intptr_t wParam) -> intptr_t {
      if (code == kHostPlayingState) return unfollowedAsks += !follow.playState, state;
      if (code == kHostVolume && wParam == kHostVolumeQuery) return unfollowedAsks += !follow.volume, volume;
      return 1;
    };
  }
  void PauseOrResume() {
    if (state == 0) return;
    const bool pausing = state == 1;
    state = pausing ? 3 : 1;
    posted.insert(posted.end(), {kChangedTitle, kChangedState});
    if (from565) posted.push_back(pausing ? kChangedPaused : kChangedResumed);
  }
  void Stop() {
    if (state == 0) return;
    state = 0;
    posted.insert(posted.end(), {kChangedTitle, kChangedState});
  }
  void StartTrack(PlayerFollower& follower) {
    state = 1;
    follower.OnTrackStart();  // 3003, sent before the start's notices are posted
    posted.insert(posted.end(), {kChangedTitle, kChangedState});
  }
  void SetVolume(int32_t level) {
    volume = level;
    posted.push_back(kChangedVolume);
  }
};

enum Event { kPause, kStop, kPlay, kNext, kPauseAndBack, kSlider, kBalance, kOwnPause, kOwnStop, kOwnVolume };
constexpr int kEventKinds = kOwnVolume + 1;

// Generated runs of the player's own changes, ours and track starts, each event's notices read
// before the next. The oracle is the event and the player's state around it: every change made
// by other means shows once with its new state or level; track starts, balance changes, a level
// that stays and our own actions show nothing; a pause and resume quicker than the notices
// show both where 7 and 8 tell of them, nothing where only the state does. What is not followed
// shows nothing and is never asked for.
TEST(PlayerFollower, EachChangeByOtherMeansShowsOnceAndOursNever) {
  constexpr uint32_t seed = 20261208;
  constexpr int kRuns = 1000, kEventsPerRun = 30;
  std::mt19937 random(seed);
  std::cout << "seed " << seed << ", " << kRuns << " runs of " << kEventsPerRun << " events\n";
  SCOPED_TRACE(testing::Message() << "seed " << seed);
  for (int run = 0; run < kRuns; ++run) {
    Player player;
    player.from565 = random() % 2 == 0;
    player.state = static_cast<int32_t>(std::vector<int>{0, 1, 3}[random() % 3]);
    player.follow = {random() % 4 != 0, random() % 4 != 0};
    const FollowOptions& follow = player.follow;
    PlayerFollower follower;
    // At start, or when switched on, the follower reads what it follows.
    follower.NoteOwnState(follow, player.Query());
    follower.NoteOwnVolume(follow, player.Query());
    for (int step = 0; step < kEventsPerRun; ++step) {
      const auto event = static_cast<Event>(random() % kEventKinds);
      const int32_t stateBefore = player.state, volumeBefore = player.volume;
      std::vector<int> expectedRows;
      std::vector<int32_t> expectedVolumes;
      bool byOtherMeans = false;  // a pause, resume or stop by the player's own means
      switch (event) {
        case kPause:
        case kStop:
          event == kPause ? player.PauseOrResume() : player.Stop();
          byOtherMeans = true;
          break;
        case kPlay:
        case kNext:
          if (event == kPlay && player.state == 3) {
            player.PauseOrResume();
            byOtherMeans = true;
          } else if (event == kPlay || player.state != 0) {
            player.StartTrack(follower);
          }
          break;
        case kPauseAndBack:
          player.PauseOrResume();
          player.PauseOrResume();
          if (player.from565 && player.state == 1) expectedRows = {kPauseRow, kPlayRow};
          if (player.from565 && player.state == 3) expectedRows = {kPlayRow, kPauseRow};
          break;
        case kSlider:
          player.SetVolume(static_cast<int32_t>(random() % 256));
          break;
        case kBalance:
          player.posted.push_back(kChangedVolume);
          break;
        case kOwnPause:
        case kOwnStop:
          event == kOwnPause ? player.PauseOrResume() : player.Stop();
          follower.NoteOwnState(follow, player.Query());
          break;
        case kOwnVolume:
          player.SetVolume(std::min(255, player.volume + 4));
          follower.NoteOwnVolume(follow, player.Query());
          break;
      }
      if (byOtherMeans && player.state != stateBefore) {
        expectedRows = {player.state == 1 ? kPlayRow : player.state == 3 ? kPauseRow : kStopRow};
      }
      if (event == kSlider && player.volume != volumeBefore) expectedVolumes = {player.volume};
      if (!follow.playState) expectedRows.clear();
      if (!follow.volume) expectedVolumes.clear();

      std::vector<int> rows;
      std::vector<int32_t> volumes;
      for (intptr_t notice : player.posted) {
        const FollowedChange change = follower.OnNotice(notice, follow, player.Query());
        if (change.stateRow >= 0) rows.push_back(change.stateRow);
        if (change.volume >= 0) volumes.push_back(change.volume);
      }
      player.posted.clear();
      SCOPED_TRACE(testing::Message()
                   << "run " << run << " step " << step << " event " << event << " from " << stateBefore
                   << " to " << player.state << (player.from565 ? "" : " (older)"));
      ASSERT_EQ(rows, expectedRows);
      ASSERT_EQ(volumes, expectedVolumes);
      ASSERT_EQ(player.unfollowedAsks, 0);
    }
  }
}

}  // namespace
}  // namespace klv
