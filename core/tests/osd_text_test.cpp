#include "core/osd/osd_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace klv {
namespace {

using Query = std::pair<int, intptr_t>;

// Latin-1 (code page 28591) to UTF-8: the fake host's system code page.
std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  for (unsigned char byte : bytes) {
    if (byte < 0x80) {
      out += static_cast<char>(byte);
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

// Plays the host: answers each code and records every question in order. By
// default an older host: the wide title request answers 0.
class FakeHost {
 public:
  FakeHost() { SetTitle("Song"); }

  void SetTitle(const std::string& title) {
    titleStorage_ = title;
    titleAddress_ = reinterpret_cast<intptr_t>(titleStorage_.c_str());
  }
  void SetTitleAddress(intptr_t address) { titleAddress_ = address; }
  void SetWideTitle(const std::u16string& title) {
    wideStorage_ = title;
    wideAddress_ = reinterpret_cast<intptr_t>(wideStorage_.c_str());
  }
  void SetWideTitleAddress(intptr_t address) { wideAddress_ = address; }
  void Answer(int code, intptr_t wParam, intptr_t answer) { answers_[{code, wParam}] = answer; }

  HostQuery Query() {
    return [this](int code, intptr_t wParam) -> intptr_t {
      queries_.push_back({code, wParam});
      if (code == kHostTitleAt) return wParam == kPlaylistIndex ? titleAddress_ : 0;
      if (code == kHostWideTitleAt) return wParam == kPlaylistIndex ? wideAddress_ : 0;
      auto found = answers_.find({code, wParam});
      return found == answers_.end() ? 0 : found->second;
    };
  }
  OsdHost Host() { return OsdHost{Query(), Latin1ToUtf8}; }
  const std::vector<klv::Query>& Queries() const { return queries_; }

  static constexpr intptr_t kPlaylistIndex = 3;

 private:
  std::string titleStorage_;
  intptr_t titleAddress_ = 0;
  std::u16string wideStorage_;
  intptr_t wideAddress_ = 0;
  std::map<klv::Query, intptr_t> answers_{
      {{kHostPlaylistIndex, 0}, kPlaylistIndex}, {{kHostPosition, 0}, 65432}, {{kHostPosition, 1}, 187}};
  std::vector<klv::Query> queries_;
};

// An older host: the wide title first, then the 8-bit one, then the times.
const std::vector<Query> kTitleThenTimeQueries = {{kHostPlaylistIndex, 0},
                                                  {kHostWideTitleAt, FakeHost::kPlaylistIndex},
                                                  {kHostTitleAt, FakeHost::kPlaylistIndex},
                                                  {kHostPosition, 0},
                                                  {kHostPosition, 1}};
const std::vector<Query> kOlderHostTitleQueries = {{kHostPlaylistIndex, 0},
                                                   {kHostWideTitleAt, FakeHost::kPlaylistIndex},
                                                   {kHostTitleAt, FakeHost::kPlaylistIndex}};
const std::vector<Query> kWideTitleQueries = {{kHostPlaylistIndex, 0},
                                              {kHostWideTitleAt, FakeHost::kPlaylistIndex}};

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

// Position then length, even when there is no position.
TEST(TrackTime, AsksPositionThenLengthAndUsesTheHostsAnswers) {
  const std::tuple<intptr_t, intptr_t, const char*> cases[] = {
      {-1, 187, "[0:00/0:00]"}, {3723000, 3600, "[62:03/60:00]"}, {3723000, -1, "[0:00/0:00]"}};
  for (const auto& [position, length, expected] : cases) {
    SCOPED_TRACE(testing::Message() << position << " ms, " << length << " s");
    FakeHost host;
    host.Answer(kHostPosition, 0, position);
    host.Answer(kHostPosition, 1, length);
    EXPECT_EQ(TrackTimeText(host.Query()), expected);
    EXPECT_EQ(host.Queries(), (std::vector<Query>{{kHostPosition, 0}, {kHostPosition, 1}}));
  }
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
      {"Caf\xE9 \"live\"", "\"Caf\xC3\xA9 \"live\"\" "},  // read in the code page
      {std::string(255, 'x'), "\"" + std::string(255, 'x') + "\" "},
      {std::string(255, 'a') + std::string(45, 'b'), "\"" + std::string(255, 'a') + "\" "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title.size());
    FakeHost host;
    host.SetTitle(c.title);
    EXPECT_EQ(TrackTitleText(host.Host()), c.expected);
    EXPECT_EQ(host.Queries(), kOlderHostTitleQueries);
  }
}

TEST(TrackTitle, NeverReadsPastTheFirst255BytesOrTheNul) {
  // Exactly-sized heap blocks: the sanitizer catches any read beyond them.
  const auto unterminated = std::make_unique<char[]>(kMaxTitleLength);
  std::memset(unterminated.get(), 'q', kMaxTitleLength);
  FakeHost host;
  host.SetTitleAddress(reinterpret_cast<intptr_t>(unterminated.get()));
  EXPECT_EQ(TrackTitleText(host.Host()), "\"" + std::string(kMaxTitleLength, 'q') + "\" ");

  const auto shortTitle = std::make_unique<char[]>(3);
  std::memcpy(shortTitle.get(), "ab", 3);
  host.SetTitleAddress(reinterpret_cast<intptr_t>(shortTitle.get()));
  EXPECT_EQ(TrackTitleText(host.Host()), "\"ab\" ");
}

// A host with wide titles is not asked for the 8-bit one.
TEST(WideTitle, ComesFirstAndIsShownInFull) {
  struct Case {
    const char* label;
    std::u16string title;
    std::string expected;  // UTF-8, between the quotes
  };
  const Case cases[] = {
      {"ASCII", u"Song", "Song"},
      {"empty", u"", ""},
      {"Cyrillic and Greek", u"\u041a\u0438\u043d\u043e \u0391\u03b8\u03ae\u03bd\u03b1",
       "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE \xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1"},
      {"outside the basic plane", u"\U0001F3B5 & \u00e9", "\xF0\x9F\x8E\xB5 & \xC3\xA9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakeHost host;
    host.SetWideTitle(c.title);
    EXPECT_EQ(TrackTitleText(host.Host()), "\"" + c.expected + "\" ");
    EXPECT_EQ(host.Queries(), kWideTitleQueries);
  }
}

TEST(WideTitle, IsCutAt255UnitsButNeverInsideASurrogatePair) {
  const std::u16string a253(253, u'a'), a254(254, u'a'), a255(255, u'a');
  const std::string u253(253, 'a'), u254(254, 'a'), u255(255, 'a');
  const std::string note = "\xF0\x9F\x8E\xB5";     // U+1F3B5, UTF-16 D83C DFB5
  const std::string replacement = "\xEF\xBF\xBD";  // for an unpaired surrogate
  struct Case {
    const char* label;
    std::u16string title;
    std::string expected;
  };
  const Case cases[] = {
      {"exactly 255", a255, u255},
      {"256 cut to 255", a255 + u"b", u255},
      {"pair at units 255 and 256: cut before it, at 254", a254 + u"\U0001F3B5", u254},
      {"pair at units 254 and 255 is kept whole", a253 + u"\U0001F3B5" + u"b", u253 + note},
      {"a lone high surrogate as unit 255 is not a pair", a254 + u"\xD83C" + u"b", u254 + replacement},
      {"a lone high surrogate ending the title", a254 + u"\xD83C", u254 + replacement},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakeHost host;
    host.SetWideTitle(c.title);
    EXPECT_EQ(TrackTitleText(host.Host()), "\"" + c.expected + "\" ");
  }
}

TEST(WideTitle, NeverReadsPastTheNulOrTheUnitAfterTheCut) {
  // Exactly-sized heap blocks: the sanitizer catches any read beyond them.
  const auto unterminated = std::make_unique<char16_t[]>(kMaxTitleLength);
  for (size_t i = 0; i < kMaxTitleLength; ++i) unterminated[i] = u'q';
  FakeHost host;
  host.SetWideTitleAddress(reinterpret_cast<intptr_t>(unterminated.get()));
  EXPECT_EQ(TrackTitleText(host.Host()), "\"" + std::string(kMaxTitleLength, 'q') + "\" ");

  // A high surrogate as unit 255: the unit after it is the NUL.
  const auto endsInHalf = std::make_unique<char16_t[]>(kMaxTitleLength + 1);
  for (size_t i = 0; i + 1 < kMaxTitleLength; ++i) endsInHalf[i] = u'q';
  endsInHalf[kMaxTitleLength - 1] = 0xD83C;
  endsInHalf[kMaxTitleLength] = u'\0';
  host.SetWideTitleAddress(reinterpret_cast<intptr_t>(endsInHalf.get()));
  EXPECT_EQ(TrackTitleText(host.Host()), "\"" + std::string(kMaxTitleLength - 1, 'q') + "\xEF\xBF\xBD\" ");
}

// A host that answers the wide title request with 0 or -1 has none: the
// 8-bit title follows, read in the system's code page.
TEST(WideTitle, NoWideTitleFallsBackToThe8BitOne) {
  for (intptr_t none : {intptr_t{0}, intptr_t{-1}}) {
    SCOPED_TRACE(none);
    FakeHost host;
    host.SetWideTitleAddress(none);
    host.SetTitle("Caf\xE9");
    EXPECT_EQ(TrackTitleText(host.Host()), "\"Caf\xC3\xA9\" ");
    EXPECT_EQ(host.Queries(), kOlderHostTitleQueries);

    // A null or failed 8-bit address gives an empty title.
    for (intptr_t wideNone : {intptr_t{0}, none}) {
      FakeHost empty;
      empty.SetWideTitleAddress(wideNone);
      empty.SetTitleAddress(none);
      EXPECT_EQ(TrackTitleText(empty.Host()), "\"\" ");
    }
  }
}

TEST(WideTitle, ActionTextsCarryIt) {
  FakeHost host;
  host.SetWideTitle(u"\u041a\u0438\u043d\u043e");
  EXPECT_EQ(ActionOsdText(4, host.Host()), "Next : \"\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE\" [1:05/3:07]");
  EXPECT_EQ(host.Queries(), (std::vector<Query>{{kHostPlaylistIndex, 0},
                                                {kHostWideTitleAt, FakeHost::kPlaylistIndex},
                                                {kHostPosition, 0},
                                                {kHostPosition, 1}}));
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
      {6, "Rewind : \"Song\" [1:05/3:07]"},
      {9, "WinAMP : \"Song\" [1:05/3:07]"},
      {10, "Info : \"Song\" [1:05/3:07]"},
      {11, "Jump : \"Song\" [1:05/3:07]"},
      {14, "Stop after current : \"Song\" [1:05/3:07]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    FakeHost host;
    EXPECT_EQ(ActionOsdText(c.row, host.Host()), c.expected);
    EXPECT_EQ(host.Queries(), kTitleThenTimeQueries);
  }
}

// Rows without the title ask at most one thing: the volume's level only when
// asked for (an answer outside 0..255 keeps the fixed text), the repeat or
// shuffle state, the rating read back out of five when it is the one just set
// (any other answer shows the action's name: a player without ratings answers
// 1); Play/Pause and rows outside the table give nothing.
TEST(ActionText, RowsWithoutTheTitleAskAtMostTheirOneState) {
  const Query kNothing{-1, 0};
  const Query kVolume{kHostVolume, kHostVolumeQuery}, kRepeat{kHostRepeatState, 0},
      kShuffle{kHostShuffleState, 0}, kRating{kHostRating, 0};
  // clang-format off
  struct Case {
    int row;
    bool volumeLevel;
    Query asked;
    intptr_t answer;
    const char* expected;
    int32_t ratingSet = -1;
  } const cases[] = {
      {7, false, kNothing, 0, "Volume Up"}, {8, false, kNothing, 0, "Volume Down"},
      {7, true, kVolume, 158, "Volume Up : 62%"}, {8, true, kVolume, 148, "Volume Down : 58%"},
      {8, true, kVolume, 0, "Volume Down : 0%"}, {7, true, kVolume, 255, "Volume Up : 100%"},
      {7, true, kVolume, 256, "Volume Up"}, {8, true, kVolume, -1, "Volume Down"},
      {12, false, kRepeat, 1, "Repeat On"}, {12, false, kRepeat, 0, "Repeat Off"},
      {12, false, kRepeat, 2, "Repeat Off"}, {12, false, kRepeat, -1, "Repeat Off"},
      {13, false, kShuffle, 1, "Shuffle On"}, {13, false, kShuffle, 0, "Shuffle Off"},
      {13, false, kShuffle, 2, "Shuffle Off"}, {16, false, kRating, 4, "Rating : 4/5", 4},
      {17, false, kRating, 0, "Rating : 0/5", 0}, {16, false, kRating, 5, "Rating : 5/5", 5},
      {16, false, kRating, 1, "Rating Up", 2}, {17, false, kRating, 1, "Rating Down", 0},
      {16, false, kRating, 6, "Rating Up", 6}, {17, false, kRating, -1, "Rating Down"},
      {17, false, kRating, 7, "Rating Down", 7}, {15, false, kNothing, 0, ""},
      {-1, false, kNothing, 0, ""}, {18, false, kNothing, 0, "Mute"}, {19, false, kNothing, 0, ""},
      {100, false, kNothing, 0, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " answered " << c.answer);
    FakeHost host;
    if (c.asked != kNothing) host.Answer(c.asked.first, c.asked.second, c.answer);
    EXPECT_EQ(ActionOsdText(c.row, host.Host(), c.volumeLevel, c.ratingSet), c.expected);
    EXPECT_EQ(host.Queries(), c.asked == kNothing ? std::vector<Query>{} : std::vector<Query>{c.asked});
  }
}

// Title and time without a prefix; no track gives an empty title and the fixed time.
TEST(StartupText, IsTitleAndTimeWithoutPrefix) {
  FakeHost host;
  EXPECT_EQ(StartupOsdText(host.Host()), "\"Song\" [1:05/3:07]");
  EXPECT_EQ(host.Queries(), kTitleThenTimeQueries);

  FakeHost none;
  none.SetTitleAddress(0);
  none.Answer(kHostPosition, 0, -1);
  none.Answer(kHostPosition, 1, -1);
  EXPECT_EQ(StartupOsdText(none.Host()), "\"\" [0:00/0:00]");
}

}  // namespace
}  // namespace klv
