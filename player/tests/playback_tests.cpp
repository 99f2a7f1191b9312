#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "player/options.h"
#include "player/playback.h"

namespace player {
namespace {

std::vector<Track> ThreeTracks() { return {{"A", 10}, {"B", 20}, {"C", 5}}; }

TEST(Playback, StoppedAnswersNoPositionButTheSelectedLength) {
  Playback playback(ThreeTracks(), 1);
  EXPECT_EQ(playback.PositionMs(1000), -1);
  EXPECT_EQ(playback.LengthSeconds(), 10);
  playback.Select(1);
  EXPECT_EQ(playback.LengthSeconds(), 20);
  playback.Select(3);  // out of range: ignored
  EXPECT_EQ(playback.Index(), 1);
}

TEST(Playback, EmptyPlaylistHasNoTrack) {
  Playback playback({}, 1);
  playback.Play(0);
  playback.Next(0);
  EXPECT_EQ(playback.State(), PlayState::kStopped);
  EXPECT_EQ(playback.LengthSeconds(), -1);
  EXPECT_EQ(playback.PositionMs(0), -1);
  EXPECT_EQ(playback.TrackAt(0), nullptr);
}

TEST(Playback, ClockRunsPausesResumesAndWraps) {
  Playback playback(ThreeTracks(), 1);
  playback.Play(1000);
  EXPECT_EQ(playback.PositionMs(1000), 0);
  EXPECT_EQ(playback.PositionMs(3500), 2500);
  playback.Pause(3500);
  EXPECT_EQ(playback.State(), PlayState::kPaused);
  EXPECT_EQ(playback.PositionMs(9000), 2500);
  playback.Pause(9000);  // pause again resumes
  EXPECT_EQ(playback.PositionMs(9500), 3000);
  playback.Play(9500);  // play while playing restarts the track
  EXPECT_EQ(playback.PositionMs(9600), 100);
  playback.Stop(9600);
  EXPECT_EQ(playback.PositionMs(9700), -1);
  // Across the tick count's wrap.
  playback.Play(UINT_MAX - 499);
  EXPECT_EQ(playback.PositionMs(1500), 2000);
}

// Inside the track while playing, a skip forward past its end moves on to the
// next one; stopped, a seek and a skip do nothing.
TEST(Playback, SkipAndSeekStayInsideTheTrack) {
  struct Case {
    bool playing;
    int startMs;
    int deltaMs;
    int expectedMs;
    int expectedIndex;
  };
  const Case cases[] = {
      {true, 3000, 5000, 8000, 0}, {true, 3000, -5000, 0, 0}, {true, 8000, -5000, 3000, 0},
      {true, 0, -5000, 0, 0},      {true, 8000, 5000, 0, 1},  {false, 4000, 5000, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.playing ? "playing, " : "stopped, ") << c.startMs << " + "
                                    << c.deltaMs);
    Playback playback(ThreeTracks(), 1);
    if (c.playing) playback.Play(0);
    playback.Seek(c.startMs, 0);
    playback.SkipBy(c.deltaMs, 0);
    EXPECT_EQ(playback.PositionMs(0), c.expectedMs);
    EXPECT_EQ(playback.Index(), c.expectedIndex);
    EXPECT_EQ(playback.State(), c.playing ? PlayState::kPlaying : PlayState::kStopped);
  }
}

TEST(Playback, EndOfTrackStartsTheNextOneWhereTheLastEnded) {
  Playback playback(ThreeTracks(), 1);
  playback.Play(0);
  playback.Tick(10250);  // track A (10 s) ended 250 ms ago
  EXPECT_EQ(playback.Index(), 1);
  EXPECT_EQ(playback.PositionMs(10250), 250);
  playback.Tick(35000);  // B ends at 30000, C (5 s) at 35000
  EXPECT_EQ(playback.State(), PlayState::kStopped);
  EXPECT_EQ(playback.Index(), 2);
}

TEST(Playback, EndOfPlaylistHonoursRepeat) {
  struct Case {
    bool repeat;
    PlayState expectedState;
    int expectedIndex;
  };
  const Case cases[] = {
      {false, PlayState::kStopped, 2},
      {true, PlayState::kPlaying, 0},
  };
  for (const Case& c : cases) {
    Playback playback(ThreeTracks(), 1);
    playback.SetRepeat(c.repeat);
    playback.JumpTo(2, 0);
    playback.Tick(5100);
    EXPECT_EQ(playback.State(), c.expectedState) << "repeat " << c.repeat;
    EXPECT_EQ(playback.Index(), c.expectedIndex) << "repeat " << c.repeat;
  }
}

TEST(Playback, StopAfterCurrentStopsOnceAndClears) {
  Playback playback(ThreeTracks(), 1);
  playback.SetRepeat(true);
  playback.ToggleStopAfterCurrent();
  playback.Play(0);
  playback.Tick(9999);
  EXPECT_EQ(playback.State(), PlayState::kPlaying);
  playback.Tick(10000);
  EXPECT_EQ(playback.State(), PlayState::kStopped);
  EXPECT_EQ(playback.Index(), 0);
  EXPECT_FALSE(playback.StopAfterCurrent());
}

TEST(Playback, NextAndPreviousWrapAndKeepTheTransportState) {
  struct Case {
    int start;
    bool next;
    bool playing;
    int expectedIndex;
  };
  const Case cases[] = {
      {0, true, false, 1}, {2, true, false, 0}, {0, false, false, 2}, {1, false, true, 0}, {2, true, true, 0},
  };
  for (const Case& c : cases) {
    Playback playback(ThreeTracks(), 1);
    playback.Select(c.start);
    if (c.playing) playback.Play(0);
    if (c.next) {
      playback.Next(500);
    } else {
      playback.Previous(500);
    }
    EXPECT_EQ(playback.Index(), c.expectedIndex) << c.start << (c.next ? " next" : " previous");
    EXPECT_EQ(playback.State(), c.playing ? PlayState::kPlaying : PlayState::kStopped);
    if (c.playing) {
      EXPECT_EQ(playback.PositionMs(500), 0);
    }
  }
}

TEST(Playback, ShuffleNeverRepeatsTheCurrentEntry) {
  for (uint32_t seed : {1u, 7u, 12345u, 0xDEADBEEFu}) {
    Playback playback(ThreeTracks(), seed);
    playback.SetShuffle(true);
    playback.Play(0);
    std::vector<bool> seen(3, false);
    for (int i = 0; i < 30; ++i) {
      int before = playback.Index();
      playback.Next(0);
      EXPECT_NE(playback.Index(), before) << "seed " << seed;
      seen[static_cast<size_t>(playback.Index())] = true;
    }
    EXPECT_EQ(seen, std::vector<bool>(3, true)) << "seed " << seed;
  }
}

TEST(Playback, VolumeAndRatingStayInRange) {
  Playback playback(ThreeTracks(), 1);
  playback.SetVolume(250);
  playback.ChangeVolume(8);
  EXPECT_EQ(playback.Volume(), Playback::kMaxVolume);
  playback.SetVolume(3);
  playback.ChangeVolume(-8);
  EXPECT_EQ(playback.Volume(), 0);
  for (auto [set, kept] : {std::pair{6, 5}, std::pair{-1, 0}, std::pair{3, 3}}) {
    playback.SetRating(set);
    EXPECT_EQ(playback.TrackAt(playback.Index())->rating, kept) << set;
  }
}

TEST(Options, ParsesTheCommandLine) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    bool registry;
    std::string log;
    unsigned exitAfter;
    unsigned skinAlpha;
  };
  const Case cases[] = {
      {{}, true, true, "", 0, 255},
      {{"--no-registry", "--log", "C:\\x.log", "--exit-after", "1500"}, true, false, "C:\\x.log", 1500, 255},
      {{"--modern", "--skin-alpha", "0"}, true, true, "", 0, 0},
      {{"--log"}, false, true, "", 0, 255},
      {{"--exit-after", "soon"}, false, true, "", 0, 255},
      {{"--exit-after", "-3"}, false, true, "", 0, 255},
      {{"--exit-after", ""}, false, true, "", 0, 255},
      {{"--skin-alpha", "256"}, false, true, "", 0, 255},
      {{"--modern", "--2x"}, false, true, "", 0, 255},
      {{"--verbose"}, false, true, "", 0, 255},
  };
  for (const Case& c : cases) {
    std::vector<std::string> storage = {"player.exe"};
    storage.insert(storage.end(), c.args.begin(), c.args.end());
    std::vector<char*> argv;
    for (std::string& arg : storage) argv.push_back(arg.data());
    Options options;
    std::string error;
    bool ok = ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
    std::string label = c.args.empty() ? "(none)" : c.args.front() + " " + c.args.back();
    EXPECT_EQ(ok, c.ok) << label;
    EXPECT_EQ(error.empty(), c.ok) << label;
    if (!ok) continue;
    EXPECT_EQ(options.writeRegistry, c.registry) << label;
    EXPECT_EQ(options.logPath, c.log) << label;
    EXPECT_EQ(options.exitAfterMs, c.exitAfter) << label;
    EXPECT_EQ(options.skinAlpha, c.skinAlpha) << label;
  }
}

}  // namespace
}  // namespace player
