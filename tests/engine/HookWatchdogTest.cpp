#include "engine/HookWatchdog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using engine::HookWatchdog;

// Plays a script of events 100 ms apart: 'h' the hook's key, 'r' raw input's
// key, 'o' raw input's key while the hook is meant to be off, '.' nothing.
// Returns the script with '!' where the watchdog asked for a new hook.
std::string Play(HookWatchdog& dog, const std::string& script, std::uint64_t step = 100) {
  std::string out;
  std::uint64_t now = 10'000;
  for (char c : script) {
    now += step;
    bool again = false;
    if (c == 'h') dog.OnHookKey(now);
    if (c == 'r') again = dog.OnRawKey(true, now);
    if (c == 'o') again = dog.OnRawKey(false, now);
    out += again ? '!' : c;
  }
  return out;
}

TEST(HookWatchdog, AskForANewHookOnlyWhenKeysArriveWithoutIt) {
  struct Case {
    const char* script;
    const char* expected;
  } cases[] = {
      // A healthy hook, its call before or after raw input's.
      {"hrhrhrhrhrhrhrhrhrhrhrhrhrhr", "hrhrhrhrhrhrhrhrhrhrhrhrhrhr"},
      {"rhrhrhrhrhrhrhrhrhrhrhrhrhrh", "rhrhrhrhrhrhrhrhrhrhrhrhrhrh"},
      // The hook stops: four keys and 1.5 s of silence later it is renewed,
      // and the count starts again.
      {"hrhrrrrrrrrrrrrrrrrr", "hrhrrrrrrrrrrrrrr!rr"},
      // Four missed keys in a burst are not enough without the quiet time.
      {"hrrrrrh", "hrrrrrh"},
      // While the hook is meant to be off, nothing counts; back on, the
      // quiet time starts then.
      {"oooooooooooooooooooorrrrrrrrrrrrrrrr", "oooooooooooooooooooorrrrrrrrrrrrrrr!"},
      // One missed key now and then never adds up.
      {"hrrhrrhrrhrrhrrhrrhrrhrrhrr", "hrrhrrhrrhrrhrrhrrhrrhrrhrr"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    HookWatchdog dog;
    EXPECT_EQ(Play(dog, c.script), c.expected);
  }
}

}  // namespace
