#include "core/osd_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace klv {
namespace {

using Query = std::pair<int, intptr_t>;

// Plays the host: answers each code and records every question in order.
class FakeHost {
 public:
  FakeHost() { SetTitle("Song"); }

  void SetTitle(const std::string& title) {
    titleStorage_ = title;
    titleAddress_ = reinterpret_cast<intptr_t>(titleStorage_.c_str());
  }
  void SetTitleAddress(intptr_t address) { titleAddress_ = address; }
  void Answer(int code, intptr_t wParam, intptr_t answer) { answers_[{code, wParam}] = answer; }

  HostQuery Query() {
    return [this](int code, intptr_t wParam) -> intptr_t {
      queries_.push_back({code, wParam});
      if (code == kHostTitleAt) return wParam == kPlaylistIndex ? titleAddress_ : 0;
      auto found = answers_.find({code, wParam});
      return found == answers_.end() ? 0 : found->second;
    };
  }
  const std::vector<klv::Query>& Queries() const { return queries_; }

  static constexpr intptr_t kPlaylistIndex = 3;

 private:
  std::string titleStorage_;
  intptr_t titleAddress_ = 0;
  std::map<klv::Query, intptr_t> answers_{
      {{kHostPlaylistIndex, 0}, kPlaylistIndex}, {{kHostPosition, 0}, 65432}, {{kHostPosition, 1}, 187}};
  std::vector<klv::Query> queries_;
};

const std::vector<Query> kTitleThenTimeQueries = {{kHostPlaylistIndex, 0},
                                                  {kHostTitleAt, FakeHost::kPlaylistIndex},
                                                  {kHostPosition, 0},
                                                  {kHostPosition, 1}};

TEST(TrackTime, FormatsMinutesAndTwoDigitSeconds) {
  struct Case {
    int32_t positionMs, lengthSeconds;
    const char* expected;
  };
  const Case cases[] = {
      {65432, 187, "[1:05/3:07]"},
      {9999, 187, "[0:09/3:07]"},
      {10000, 187, "[0:10/3:07]"},
      {59999, 187, "[0:59/3:07]"},
      {60000, 187, "[1:00/3:07]"},
      {3723000, 3600, "[62:03/60:00]"},
      {0, 0, "[0:00/0:00]"},
      {999, 59, "[0:00/0:59]"},
      {600000, 6000, "[10:00/100:00]"},
      {-1, 187, "[0:00/0:00]"},
      {65432, -1, "[0:00/0:00]"},
      {-1, -1, "[0:00/0:00]"},
      {-5000, 187, "[0:0-5/3:07]"},
      {-60000, -2, "[-1:00/0:0-2]"},
      {INT32_MAX, INT32_MAX, "[35791:23/35791394:07]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.positionMs << " ms, " << c.lengthSeconds << " s");
    EXPECT_EQ(FormatTrackTime(c.positionMs, c.lengthSeconds), c.expected);
  }
}

TEST(TrackTime, AsksPositionThenLengthEvenWhenThereIsNoPosition) {
  FakeHost host;
  host.Answer(kHostPosition, 0, -1);
  EXPECT_EQ(TrackTimeText(host.Query()), "[0:00/0:00]");
  EXPECT_EQ(host.Queries(), (std::vector<Query>{{kHostPosition, 0}, {kHostPosition, 1}}));
}

TEST(TrackTime, UsesTheHostsAnswers) {
  FakeHost host;
  host.Answer(kHostPosition, 0, 3723000);
  host.Answer(kHostPosition, 1, 3600);
  EXPECT_EQ(TrackTimeText(host.Query()), "[62:03/60:00]");
  host.Answer(kHostPosition, 1, -1);
  EXPECT_EQ(TrackTimeText(host.Query()), "[0:00/0:00]");
}

TEST(TrackTitle, QuotesTheCurrentEntrysTitle) {
  struct Case {
    std::string title;
    std::string expected;
  };
  const Case cases[] = {
      {"Song", "\"Song\" "},
      {"", "\"\" "},
      {"Rock & Roll", "\"Rock & Roll\" "},
      {"Caf\xE9 \"live\"", "\"Caf\xE9 \"live\"\" "},
      {std::string(255, 'x'), "\"" + std::string(255, 'x') + "\" "},
      {std::string(255, 'a') + std::string(45, 'b'), "\"" + std::string(255, 'a') + "\" "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title.size());
    FakeHost host;
    host.SetTitle(c.title);
    EXPECT_EQ(TrackTitleText(host.Query()), c.expected);
    EXPECT_EQ(host.Queries(),
              (std::vector<Query>{{kHostPlaylistIndex, 0}, {kHostTitleAt, FakeHost::kPlaylistIndex}}));
  }
}

TEST(TrackTitle, NullOrFailedAddressGivesAnEmptyTitle) {
  for (intptr_t address : {intptr_t{0}, intptr_t{-1}}) {
    FakeHost host;
    host.SetTitleAddress(address);
    EXPECT_EQ(TrackTitleText(host.Query()), "\"\" ") << address;
  }
}

TEST(TrackTitle, NeverReadsPastTheFirst255BytesOrTheNul) {
  // Exactly-sized heap blocks: the sanitizer catches any read beyond them.
  const auto unterminated = std::make_unique<char[]>(kMaxTitleLength);
  std::memset(unterminated.get(), 'q', kMaxTitleLength);
  FakeHost host;
  host.SetTitleAddress(reinterpret_cast<intptr_t>(unterminated.get()));
  EXPECT_EQ(TrackTitleText(host.Query()), "\"" + std::string(kMaxTitleLength, 'q') + "\" ");

  const auto shortTitle = std::make_unique<char[]>(3);
  std::memcpy(shortTitle.get(), "ab", 3);
  host.SetTitleAddress(reinterpret_cast<intptr_t>(shortTitle.get()));
  EXPECT_EQ(TrackTitleText(host.Query()), "\"ab\" ");
}

TEST(ActionText, TitleRowsJoinPrefixTitleAndTime) {
  struct Case {
    int row;
    const char* expected;
  };
  const Case cases[] = {
      {0, "Previous : \"Song\" [1:05/3:07]"},
      {1, "Play : \"Song\" [1:05/3:07]"},
      {2, "Pause : \"Song\" [1:05/3:07]"},
      {3, "Stop : \"Song\" [1:05/3:07]"},
      {4, "Next : \"Song\" [1:05/3:07]"},
      {5, "Forward : \"Song\" [1:05/3:07]"},
      {6, "Reward : \"Song\" [1:05/3:07]"},
      {9, "WinAMP : \"Song\" [1:05/3:07]"},
      {10, "Info : \"Song\" [1:05/3:07]"},
      {11, "Jump : \"Song\" [1:05/3:07]"},
      {14, "Stop after current : \"Song\" [1:05/3:07]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    FakeHost host;
    EXPECT_EQ(ActionOsdText(c.row, host.Query()), c.expected);
    EXPECT_EQ(host.Queries(), kTitleThenTimeQueries);
  }
}

TEST(ActionText, VolumeRowsAreFixedAndAskNothing) {
  for (const auto& [row, expected] : {std::pair<int, const char*>{7, "Volume Up"}, {8, "Volume Down"}}) {
    SCOPED_TRACE(row);
    FakeHost host;
    EXPECT_EQ(ActionOsdText(row, host.Query()), expected);
    EXPECT_TRUE(host.Queries().empty());
  }
}

TEST(ActionText, RepeatAndShuffleAskTheirStateOnce) {
  struct Case {
    int row;
    int stateCode;
    intptr_t answer;
    const char* expected;
  };
  const Case cases[] = {
      {12, kHostRepeatState, 1, "Repeat On"},    {12, kHostRepeatState, 0, "Repeat Off"},
      {12, kHostRepeatState, 2, "Repeat Off"},   {12, kHostRepeatState, -1, "Repeat Off"},
      {13, kHostShuffleState, 1, "Shuffle On"},  {13, kHostShuffleState, 0, "Shuffle Off"},
      {13, kHostShuffleState, 2, "Shuffle Off"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << " answered " << c.answer);
    FakeHost host;
    host.Answer(c.stateCode, 0, c.answer);
    EXPECT_EQ(ActionOsdText(c.row, host.Query()), c.expected);
    EXPECT_EQ(host.Queries(), (std::vector<Query>{{c.stateCode, 0}}));
  }
}

TEST(ActionText, RowsOutsideTheTableGiveNothing) {
  for (int row : {-1, 16, 100}) {
    FakeHost host;
    EXPECT_EQ(ActionOsdText(row, host.Query()), "");
    EXPECT_TRUE(host.Queries().empty());
  }
}

TEST(ActionText, PlayPauseHasNoTextOfItsOwnAndAsksNothing) {
  FakeHost host;
  EXPECT_EQ(ActionOsdText(15, host.Query()), "");
  EXPECT_TRUE(host.Queries().empty());
}

TEST(StartupText, IsTitleAndTimeWithoutPrefix) {
  FakeHost host;
  EXPECT_EQ(StartupOsdText(host.Query()), "\"Song\" [1:05/3:07]");
  EXPECT_EQ(host.Queries(), kTitleThenTimeQueries);
}

TEST(StartupText, NoTrackGivesEmptyTitleAndFixedTime) {
  FakeHost host;
  host.SetTitleAddress(0);
  host.Answer(kHostPosition, 0, -1);
  host.Answer(kHostPosition, 1, -1);
  EXPECT_EQ(StartupOsdText(host.Query()), "\"\" [0:00/0:00]");
}

}  // namespace
}  // namespace klv
