// Timing figures that Hoam.dll keeps about its own hook procedure, in a
// small named shared-memory block that any process can open read-only (the
// smoke test's helper does, to report the hook's worst case). The block is
// made when the hook is installed; the hook procedure only stores numbers
// into it.
#pragma once

#include <cstdint>

namespace hoam {

inline constexpr const char* kStatsName = "Local\\QuilletHoamStats";

struct Stats {
  std::int64_t frequency;     // QueryPerformanceFrequency
  std::int64_t maxTicks;      // slowest hook call, entry to return
  std::int64_t events;        // key events handed to the main window
  std::int64_t skipped;       // our own synthetic events let through
  std::int64_t lastKeyTicks;  // QueryPerformanceCounter at the last event's entry
  std::int64_t slowestKey;    // virtual key | 0x100 for a release, of the slowest call
  std::int64_t slowEvents;    // calls that took longer than 1 ms
  std::int64_t totalTicks;    // the calls for the user's keys together
};

}  // namespace hoam
