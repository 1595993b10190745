// Window queries answered by the system.
#include "platform/Desktop.h"

#include <windows.h>

namespace platform {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

class Win32Desktop final : public Desktop {
 public:
  bool IsWindowValid(WindowHandle window) const override {
    return window != 0 && IsWindow(ToHwnd(window));
  }

  std::string WindowClassName(WindowHandle window) const override {
    char name[256] = {};
    if (!window) return {};
    int n = GetClassNameA(ToHwnd(window), name, sizeof name);
    return n > 0 ? std::string(name, std::size_t(n)) : std::string();
  }

  int WindowControlId(WindowHandle window) const override {
    return window ? GetDlgCtrlID(ToHwnd(window)) : 0;
  }

  WindowHandle WindowParent(WindowHandle window) const override {
    return window ? reinterpret_cast<WindowHandle>(GetParent(ToHwnd(window))) : 0;
  }

  ProcessId WindowProcessId(WindowHandle window) const override {
    DWORD pid = 0;
    if (window) GetWindowThreadProcessId(ToHwnd(window), &pid);
    return pid;
  }
};

}  // namespace

Desktop& SystemDesktop() {
  static Win32Desktop desktop;
  return desktop;
}

}  // namespace platform
