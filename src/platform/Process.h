// Listing the running processes with the full path of their executables.
// Windows: the process-status library (PSAPI), loaded at run time; where it
// or one of its entry points is missing, the Toolhelp snapshot functions.
// posix: /proc. Processes that cannot be inspected (other users', protected
// ones) are left out.
//
// Failure: List returns false (and an empty list) when no way of listing
// processes works. Nothing throws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace platform {

struct ProcessInfo {
  ProcessId id = 0;
  std::string path;  // full path of the executable, never empty
};

class ProcessSource {
 public:
  virtual ~ProcessSource() = default;
  // Replaces `out` with every process that can be inspected.
  virtual bool ListProcesses(std::vector<ProcessInfo>& out) = 0;
};

// The processes of this machine.
ProcessSource& SystemProcesses();

ProcessId CurrentProcessId();
// Full path of the running executable; empty when it cannot be found.
std::string CurrentExecutablePath();

}  // namespace platform
