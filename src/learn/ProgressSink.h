#pragma once
// What a long import or export tells the window that shows its progress.
// The view behind it (a wait window with a Cancel button) updates its text
// and lets pending messages through on each call.

#include <cstdint>

namespace learn {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // done items so far out of total (total is -1 when it is not known in
    // advance). Returning false asks the work to stop.
    virtual bool Step(std::int32_t done, std::int32_t total) = 0;
};

}  // namespace learn
