// Finds the executable of the process that owns a window by listing every
// running process with its executable path. One object serves one question:
// every query lists the processes afresh.
//
// Failure: when the processes cannot be listed, or the window's process is
// not among them (other users' or protected processes), the path is empty.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Process.h"

struct ProcessEntry {
  char szPath[260];  // NUL-terminated full path of the executable
  std::uint32_t dwProcessId;
};

class CProcessEnum {
 public:
  // The machine's own processes and windows.
  CProcessEnum();
  CProcessEnum(platform::ProcessSource& source, const platform::Desktop& desktop);
  virtual ~CProcessEnum();

  // Rebuilds `processes`; false (with an empty list) when listing fails.
  bool Enumerate();
  // Enumerates, then copies the path of process `id` into `buffer` (260
  // bytes) and returns its length; "" and 0 when there is no such process.
  std::uint32_t GetProcessPath(std::uint32_t id, char* buffer);
  // The same for the process that created `window`; for no window "" and 0
  // without listing anything.
  std::uint32_t GetProcessPathFromWindow(platform::WindowHandle window, char* buffer);

  std::vector<ProcessEntry> processes;

 private:
  platform::ProcessSource& m_source;
  const platform::Desktop& m_desktop;
};
