#include "power/hold_guard.h"

#include <gtest/gtest.h>

#include <vector>

namespace power {
namespace {

using platform::Milliseconds;

enum class Event { Wake, OtherDesktop, OwnDesktop, End };

struct Step {
  Milliseconds at;
  Event event;
};

// Runs the rule as the guard's thread does: asks it after every event and
// again at the time it names, and returns the times of the power-downs.
std::vector<Milliseconds> powerDowns(const std::vector<Step>& steps, bool beginHold = true) {
  HoldGuardRule rule;
  if (beginHold) rule.begin();
  bool own = true;
  const std::function<bool()> ownDesktop = [&] { return own; };
  std::vector<Milliseconds> downs;
  Milliseconds next = -1;
  auto askUntil = [&](Milliseconds until) {
    while (next >= 0 && next <= until) {
      const Milliseconds now = next;
      if (rule.due(now, ownDesktop, next)) downs.push_back(now);
    }
  };
  for (const Step& step : steps) {
    askUntil(step.at);
    switch (step.event) {
      case Event::Wake:
        rule.noteWake();
        break;
      case Event::OtherDesktop:
        own = false;
        break;
      case Event::OwnDesktop:
        own = true;
        break;
      case Event::End:
        rule.end();
        break;
    }
    if (rule.due(step.at, ownDesktop, next)) downs.push_back(step.at);
  }
  askUntil(1'000'000);
  return downs;
}

std::vector<Step> wakesEvery(Milliseconds step, Milliseconds from, Milliseconds to) {
  std::vector<Step> steps;
  for (Milliseconds t = from; t <= to; t += step) steps.push_back({t, Event::Wake});
  return steps;
}

TEST(HoldGuard, PowersDownAtMostEveryQuarterSecondAndOnlyDuringTheHold) {
  using E = Event;
  const struct {
    const char* what;
    std::vector<Step> steps;
    std::vector<Milliseconds> expected;
    bool beginHold = true;
  } cases[] = {
      {"nothing wakes the display", {}, {}},
      {"one wake", {{100, E::Wake}}, {100}},
      {"a burst: once at once, once more when the interval is over",
       wakesEvery(10, 0, 240),
       {0, 250}},
      {"continuous input for a second", wakesEvery(10, 0, 990), {0, 250, 500, 750, 1000}},
      {"a mouse at 1000 Hz", wakesEvery(1, 0, 600), {0, 250, 500, 750}},
      {"two wakes far apart", {{0, E::Wake}, {600, E::Wake}}, {0, 600}},
      {"a wake just inside the interval waits for its end",
       {{0, E::Wake}, {249, E::Wake}},
       {0, 250}},
      {"a wake exactly one interval later", {{0, E::Wake}, {250, E::Wake}}, {0, 250}},
      {"none after the hold, not even one that was waiting",
       {{0, E::Wake}, {100, E::Wake}, {200, E::End}, {300, E::Wake}, {900, E::Wake}},
       {0}},
      {"none before the hold", {{100, E::Wake}}, {}, false},
      {"none while another desktop has the input",
       {{0, E::OtherDesktop}, {100, E::Wake}, {400, E::Wake}, {600, E::OwnDesktop}},
       {}},
      {"a waiting wake is dropped when another desktop takes the input",
       {{0, E::Wake}, {100, E::Wake}, {200, E::OtherDesktop}},
       {0}},
      {"back on the program's desktop, a wake counts again",
       {{0, E::OtherDesktop}, {100, E::Wake}, {200, E::OwnDesktop}, {300, E::Wake}},
       {300}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(powerDowns(c.steps, c.beginHold), c.expected) << c.what;
  }
}

// A time passed between the rule's answer and the clock's reading is no wait,
// not one of 49.7 days once made a DWORD.
TEST(HoldGuard, WaitsUntilTheRulesTimeAndNeverANegativeTime) {
  EXPECT_EQ(platform::waitUntil(-1, 500), -1);
  EXPECT_EQ(platform::waitUntil(750, 500), 250);
  EXPECT_EQ(platform::waitUntil(750, 750), 0);
  EXPECT_EQ(platform::waitUntil(750, 751), 0);
}

}  // namespace
}  // namespace power
