// OSD text composition over arbitrary host answers and title bytes. The fake
// host hands out titles the way a host may: NUL-terminated of any length, a
// null address, a block of 256 or more bytes without NUL, and exactly 255 bytes
// without NUL at the very end of a heap block, so that any read past the 255
// allowed bytes is an AddressSanitizer fault.
#include <fuzzer/FuzzedDataProvider.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "core/osd/osd_text.h"
#include "fuzz/fuzz_check.h"

namespace {

enum class TitleKind {
  kTerminated,
  kNull,
  kExactly255Unterminated,
  kLongUnterminated,
  kLast = kLongUnterminated
};

constexpr int kStartupRow = klv::kHotkeyCount + 1;

using Query = std::pair<int, intptr_t>;

class HeapTitle {
 public:
  HeapTitle(TitleKind kind, const std::vector<char>& bytes) {
    switch (kind) {
      case TitleKind::kTerminated:
        Allocate(bytes.size() + 1, bytes, '\0');
        break;
      case TitleKind::kNull:
        break;
      case TitleKind::kExactly255Unterminated:
        Allocate(klv::kMaxTitleLength, bytes, 'x');
        break;
      case TitleKind::kLongUnterminated:
        Allocate(std::max(bytes.size(), klv::kMaxTitleLength + 1), bytes, 'y');
        break;
    }
  }
  ~HeapTitle() { std::free(block_); }
  HeapTitle(const HeapTitle&) = delete;
  HeapTitle& operator=(const HeapTitle&) = delete;

  intptr_t Address() const { return reinterpret_cast<intptr_t>(block_); }
  // What the OSD should show: up to the first NUL, at most 255 bytes.
  std::string Expected() const {
    std::string title;
    for (size_t i = 0; i < size_ && i < klv::kMaxTitleLength && block_[i] != '\0'; ++i) title += block_[i];
    return title;
  }

 private:
  // Exactly size bytes, so that the block ends where the title's last byte is.
  void Allocate(size_t size, const std::vector<char>& bytes, char fill) {
    size_ = size;
    block_ = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
    std::memset(block_, fill, size);
    if (!bytes.empty()) std::memcpy(block_, bytes.data(), std::min(size, bytes.size()));
  }

  char* block_ = nullptr;
  size_t size_ = 0;
};

std::string ExpectedTime(int32_t positionMs, int32_t lengthSeconds) {
  if (positionMs == -1 || lengthSeconds == -1) return "[0:00/0:00]";
  const int64_t elapsed = positionMs / 1000;
  const int64_t elapsedMinutes = elapsed / 60, elapsedSeconds = elapsed % 60;
  const int64_t totalMinutes = lengthSeconds / 60, totalSeconds = lengthSeconds % 60;
  char text[96];
  std::snprintf(text, sizeof text, "[%" PRId64 ":%s%" PRId64 "/%" PRId64 ":%s%" PRId64 "]", elapsedMinutes,
                elapsedSeconds < 10 ? "0" : "", elapsedSeconds, totalMinutes, totalSeconds < 10 ? "0" : "",
                totalSeconds);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int row = input.ConsumeIntegralInRange<int>(-2, kStartupRow);
  // Win32 answers are 32-bit; the plug-in sees them sign-extended in intptr_t.
  const intptr_t index = input.ConsumeIntegral<int32_t>();
  const int32_t position = input.ConsumeIntegral<int32_t>();
  const int32_t length = input.ConsumeIntegral<int32_t>();
  const intptr_t repeat = input.ConsumeIntegral<int32_t>();
  const intptr_t shuffle = input.ConsumeIntegral<int32_t>();
  const auto kind =
      static_cast<TitleKind>(input.ConsumeIntegralInRange<int>(0, static_cast<int>(TitleKind::kLast)));
  const HeapTitle title(kind, input.ConsumeRemainingBytes<char>());

  std::vector<Query> queries;
  // An older host: no wide titles, so the 8-bit title is read; its bytes are
  // taken as they are, so the text shows exactly what was read of them.
  const klv::HostQuery query = [&](int code, intptr_t wParam) -> intptr_t {
    queries.push_back({code, wParam});
    switch (code) {
      case klv::kHostPlaylistIndex:
        return index;
      case klv::kHostTitleAt:
        return wParam == index ? title.Address() : 0;
      case klv::kHostPosition:
        return wParam == 0 ? position : length;
      case klv::kHostRepeatState:
        return repeat;
      case klv::kHostShuffleState:
        return shuffle;
      default:
        return 0;
    }
  };
  const klv::OsdHost host{query, [](std::string_view bytes) { return std::string(bytes); }};

  // A rating of 0 set: this host reads it back, as a player that keeps ratings does.
  const std::string text =
      row == kStartupRow ? klv::StartupOsdText(host) : klv::ActionOsdText(row, host, false, /*ratingSet=*/0);

  const std::vector<Query> titleAndTimeQueries = {{klv::kHostPlaylistIndex, 0},
                                                  {klv::kHostWideTitleAt, index},
                                                  {klv::kHostTitleAt, index},
                                                  {klv::kHostPosition, 0},
                                                  {klv::kHostPosition, 1}};
  const std::string titleAndTime = "\"" + title.Expected() + "\" " + ExpectedTime(position, length);
  if (row == kStartupRow) {
    FUZZ_CHECK(text == titleAndTime);
    FUZZ_CHECK(queries == titleAndTimeQueries);
    return 0;
  }
  if (row < 0 || row >= klv::kHotkeyCount) {
    FUZZ_CHECK(text.empty() && queries.empty());
    return 0;
  }
  const klv::HotkeyAction& action = klv::kHotkeyActions[row];
  switch (action.osdKind) {
    case klv::OsdTextKind::kTitleAndTime:
      FUZZ_CHECK(text == action.osdText + titleAndTime);
      FUZZ_CHECK(queries == titleAndTimeQueries);
      break;
    case klv::OsdTextKind::kFixed:
    case klv::OsdTextKind::kVolume:
      FUZZ_CHECK(text == action.osdText);
      FUZZ_CHECK(queries.empty());
      break;
    case klv::OsdTextKind::kRepeatState:
      FUZZ_CHECK(text == std::string(action.osdText) + (repeat == 1 ? " On" : " Off"));
      FUZZ_CHECK(queries == (std::vector<Query>{{klv::kHostRepeatState, 0}}));
      break;
    case klv::OsdTextKind::kShuffleState:
      FUZZ_CHECK(text == std::string(action.osdText) + (shuffle == 1 ? " On" : " Off"));
      FUZZ_CHECK(queries == (std::vector<Query>{{klv::kHostShuffleState, 0}}));
      break;
    case klv::OsdTextKind::kRating:
      // This host answers 0 to every request it does not model: a rating of 0.
      FUZZ_CHECK(text == "Rating : 0/5");
      FUZZ_CHECK(queries == (std::vector<Query>{{klv::kHostRating, 0}}));
      break;
    case klv::OsdTextKind::kOfChosenCommand:
      FUZZ_CHECK(text.empty() && queries.empty());
      break;
  }
  return 0;
}
