// A simulated desktop for tests: windows with a class, a control identifier,
// a parent and an owning process; processes with executable paths; and an
// in-memory registry. Each behaves like the system interface it stands for
// and can be inspected (how often processes were listed, what a key holds).
// Not thread-safe: one test thread owns each object.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/process.h"
#include "platform/registry.h"

namespace platform::sim {

class SimDesktop final : public Desktop {
 public:
  // Adds a window and returns its handle (never 0).
  WindowHandle AddWindow(const std::string& className, int controlId = 0,
                         WindowHandle parent = 0, ProcessId process = 0);
  // Destroys a window; its handle stops being a window. Children keep their
  // (now invalid) parent handle, as they would for a moment on Windows.
  void DestroyWindow(WindowHandle window);

  bool IsWindowValid(WindowHandle window) const override;
  std::string WindowClassName(WindowHandle window) const override;
  int WindowControlId(WindowHandle window) const override;
  WindowHandle WindowParent(WindowHandle window) const override;
  ProcessId WindowProcessId(WindowHandle window) const override;

 private:
  struct Window {
    std::string className;
    int controlId = 0;
    WindowHandle parent = 0;
    ProcessId process = 0;
  };
  std::map<WindowHandle, Window> windows_;
  WindowHandle next_ = 0x10010;
};

class SimProcesses final : public ProcessSource {
 public:
  void AddProcess(ProcessId id, const std::string& path);
  void RemoveProcess(ProcessId id);
  // While failing, ListProcesses returns false with an empty list, as when
  // the process-status functions cannot be loaded.
  void SetFailing(bool failing) { failing_ = failing; }

  bool ListProcesses(std::vector<ProcessInfo>& out) override;
  int listCount() const { return listCount_; }

 private:
  std::vector<ProcessInfo> processes_;
  bool failing_ = false;
  int listCount_ = 0;
};

class SimRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path) override;

  // While unavailable every CreateKey fails.
  void SetUnavailable(bool unavailable) { unavailable_ = unavailable; }
  bool HasKey(RegistryRoot root, const std::string& path) const;
  // The bytes of a value; false when the key or value is absent.
  bool Value(RegistryRoot root, const std::string& path, const std::string& name,
             std::vector<std::uint8_t>& bytes) const;
  void SetValue(RegistryRoot root, const std::string& path, const std::string& name,
                const std::vector<std::uint8_t>& bytes);
  int writeCount() const { return writeCount_; }

 private:
  friend class SimRegistryKey;
  using Values = std::map<std::string, std::vector<std::uint8_t>>;
  static std::string KeyName(RegistryRoot root, const std::string& path);
  std::map<std::string, Values> keys_;
  bool unavailable_ = false;
  int writeCount_ = 0;
};

}  // namespace platform::sim
