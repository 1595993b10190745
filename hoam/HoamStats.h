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
  // The last user key events, oldest overwritten first: virtual key | 0x100
  // for a release | 0x200 when the key was kept from the application.
  static constexpr int kRecent = 32;
  std::int64_t recentCount;   // events written so far (the next slot is recentCount % kRecent)
  std::int32_t recent[kRecent];
};

}  // namespace hoam
