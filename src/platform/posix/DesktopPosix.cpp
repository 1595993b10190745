// The posix build has no desktop of its own: no handle is a window.
#include "platform/Desktop.h"

namespace platform {
namespace {

class NoDesktop final : public Desktop {
 public:
  bool IsWindowValid(WindowHandle) const override { return false; }
  std::string WindowClassName(WindowHandle) const override { return {}; }
  int WindowControlId(WindowHandle) const override { return 0; }
  WindowHandle WindowParent(WindowHandle) const override { return 0; }
  ProcessId WindowProcessId(WindowHandle) const override { return 0; }
};

}  // namespace

Desktop& SystemDesktop() {
  static NoDesktop desktop;
  return desktop;
}

}  // namespace platform
