// A one-shot hotkey's key held and tapped at generated paces while the host is
// busy at its messages: the action runs once per press, a press counted from
// the key events themselves. The watch and the host's queue are played out
// here as the plug-in runs them: the watch reads the key every few
// milliseconds from a press on, its markers queue behind the messages sent
// before them, and the host takes the queue in order, one item at a time.
#include "core/hotkeys/key_repeat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kSeed = 20261208;
constexpr int kCases = 1500;
constexpr uint32_t kReadEveryMs = 5;

struct KeyEvent {
  uint32_t at;
  bool down;
};

struct KeyCase {
  std::vector<KeyEvent> events;
  std::vector<uint32_t> busyMs;  // the host's time at each message, in the order sent
  uint32_t clockStart = 0;       // where the tick count stands at 0
};

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  KeyCase Next() {
    KeyCase c;
    const int presses = Pick(1, 5);
    uint32_t t = 0;
    for (int p = 0; p < presses; ++p) {
      // After a hold, 15 to 1500 ms from its key-up to the next press.
      t = Pick(0, 1) == 0 ? Tap(c.events, t) : Hold(c.events, t) + Pick(15, 1500);
    }
    // Busy at no message, at some, or at every one.
    const uint32_t busyShare = Pick(0, 3);
    for (const KeyEvent& e : c.events) {
      if (e.down) c.busyMs.push_back(Pick(1, 3) <= busyShare ? Pick(0, 1200) : 0);
    }
    c.clockStart = Pick(0, 1) == 0 ? Pick(0, 100000) : 0u - Pick(0, 20000);
    return c;
  }

 private:
  uint32_t Pick(uint32_t low, uint32_t high) {
    return std::uniform_int_distribution<uint32_t>(low, high)(random_);
  }

  // Down shorter than any first-repeat delay. Returns the next press's time, 60 to 1500 ms on.
  uint32_t Tap(std::vector<KeyEvent>& events, uint32_t at) {
    const uint32_t gap = Pick(60, 1500);
    events.push_back({at, true});
    events.push_back({at + Pick(10, std::min<uint32_t>(140, gap - 15)), false});
    return at + gap;
  }

  // First repeat after 150 to 1200 ms, then every 20 to 150 ms, each +/-40 ms, up to three of them far
  // off; up before the next repeat would come. Returns the key-up's time.
  uint32_t Hold(std::vector<KeyEvent>& events, uint32_t at) {
    const uint32_t delay = Pick(150, 1200);
    const uint32_t period = Pick(20, 150);
    const uint32_t repeats = Pick(0, 4000 / period);
    std::vector<uint32_t> offBy(repeats, 0);
    for (uint32_t n = repeats == 0 ? 0 : Pick(0, 3); n > 0; --n)
      offBy[Pick(0, repeats - 1)] = Pick(0, 1) == 0 ? Pick(41, 400) : 0u - Pick(41, 100);
    events.push_back({at, true});
    uint32_t last = at;
    for (uint32_t k = 0; k < repeats; ++k) {
      const uint32_t when = at + delay + k * period + Pick(0, 80) - 40 + offBy[k];
      last = std::max(last + 1, when);
      events.push_back({last, true});
    }
    const uint32_t up = last + (repeats == 0 ? Pick(10, delay - 1) : Pick(1, period));
    events.push_back({up, false});
    return up;
  }

  std::mt19937 random_;
};

int PressesIn(const std::vector<KeyEvent>& events) {
  int presses = 0;
  bool down = false;
  for (const KeyEvent& e : events) {
    if (e.down && !down) ++presses;
    down = e.down;
  }
  return presses;
}

struct Played {
  int actions = 0;
  std::string fault;  // the watch outstayed its hold
};

// The host handles a message (or a marker) once it is free, in the order they were queued;
// the watch a press starts reads the key 1 ms later and then every few ms.
Played Play(const KeyCase& c) {
  struct Queued {
    bool marker;
    uint32_t sent;
    uint32_t watch;
    uint32_t busyMs;
  };
  klv::HeldKey key;
  Played played;
  std::deque<Queued> queue;
  size_t nextEvent = 0;
  size_t message = 0;
  bool down = false;
  uint32_t lastUp = 0;
  bool watching = false;
  uint32_t watch = 0;
  uint32_t nextRead = 0;
  uint32_t hostFree = 0;
  for (uint32_t t = 0;;) {
    for (; nextEvent < c.events.size() && c.events[nextEvent].at == t; ++nextEvent) {
      down = c.events[nextEvent].down;
      if (down) queue.push_back({false, t, 0, c.busyMs[message++]});
      if (!down) lastUp = t;
    }
    if (watching && nextRead == t) {
      const klv::WatchStep step = key.OnRead(watch, c.clockStart + t, down);
      if (step.postMarker) queue.push_back({true, t, watch, 0});
      watching = !step.stop;
      nextRead = t + kReadEveryMs;
    }
    for (; !queue.empty() && hostFree <= t; queue.pop_front()) {
      const Queued& item = queue.front();
      if (item.marker) {
        key.OnMarker(item.watch);
        continue;
      }
      const klv::HeldKey::Verdict verdict = key.OnMessage(c.clockStart + item.sent);
      if (!verdict.repeat) ++played.actions;
      if (verdict.startWatch) {
        watching = true;
        watch = key.WatchId();
        nextRead = t + 1;
      }
      hostFree = t + item.busyMs;
    }
    const uint32_t settled = std::max(lastUp, hostFree) + 2 * kReadEveryMs;
    if (watching && !down && queue.empty() && t > settled) {
      played.fault = "the watch still runs at " + std::to_string(t);
      return played;
    }
    uint32_t next = UINT32_MAX;
    if (nextEvent < c.events.size()) next = c.events[nextEvent].at;
    if (watching) next = std::min(next, nextRead);
    if (!queue.empty()) next = std::min(next, hostFree);
    if (next == UINT32_MAX) return played;
    t = next;
  }
}

std::string Describe(const KeyCase& c) {
  std::ostringstream text;
  text << "clock from " << c.clockStart << ", events";
  size_t message = 0;
  for (const KeyEvent& e : c.events) {
    text << ' ' << (e.down ? "v" : "^") << e.at;
    if (e.down) text << "(busy " << c.busyMs[message++] << ")";
  }
  return text.str();
}

TEST(HeldKeyProperty, AOneShotActionRunsOncePerPressAtAnyPaceHoweverBusyTheHost) {
  std::cout << "seed " << kSeed << ", " << kCases << " cases\n";
  Generator generate(kSeed);
  int failures = 0;
  for (int i = 0; i < kCases && failures < 5; ++i) {
    const KeyCase c = generate.Next();
    const Played played = Play(c);
    const bool right = played.fault.empty() && played.actions == PressesIn(c.events);
    if (!right) ++failures;
    EXPECT_TRUE(right) << "case " << i << " of seed " << kSeed << ": " << played.actions << " actions for "
                       << PressesIn(c.events) << " presses. " << played.fault << "\n"
                       << Describe(c);
  }
}

}  // namespace
