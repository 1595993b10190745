// The window queries that portable code needs: a window is an integer
// handle (0 = no window) and the desktop answers questions about it.
// The Windows backend asks the system; src/platform/sim/ has a simulated
// desktop for tests. Answers for a handle that is no (longer a) window are
// empty: an empty class name, identifier 0, parent 0, process 0.
//
// Threading: the system desktop may be asked from any thread; the simulated
// one belongs to the thread that built it.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using WindowHandle = std::uintptr_t;
using ProcessId = std::uint32_t;

class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual bool IsWindowValid(WindowHandle window) const = 0;
  // The window class name, at most 255 characters.
  virtual std::string WindowClassName(WindowHandle window) const = 0;
  // The control identifier of a child window (0 for a top-level window).
  virtual int WindowControlId(WindowHandle window) const = 0;
  // The parent (or, for a top-level window, the owner); 0 when none.
  virtual WindowHandle WindowParent(WindowHandle window) const = 0;
  // The process that created the window; 0 when unknown.
  virtual ProcessId WindowProcessId(WindowHandle window) const = 0;
};

// The desktop of this machine. On systems without one (the posix build) it
// has no windows at all.
Desktop& SystemDesktop();

}  // namespace platform
