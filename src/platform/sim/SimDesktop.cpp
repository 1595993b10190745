#include "platform/sim/SimDesktop.h"

#include <algorithm>
#include <cstring>

namespace platform::sim {

namespace {

// Registry names compare without regard to letter case, as on Windows.
std::string Folded(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

}  // namespace

WindowHandle SimDesktop::AddWindow(const std::string& className, int controlId,
                                   WindowHandle parent, ProcessId process) {
  WindowHandle h = next_;
  next_ += 4;
  Window w;
  w.className = className.substr(0, 255);
  w.controlId = controlId;
  w.parent = parent;
  w.process = process;
  // New windows stand somewhere on the screen, so that they have a centre.
  w.rect = SimRect{100, 100, 500, 400};
  windows_[h] = w;
  return h;
}

void SimDesktop::DestroyWindow(WindowHandle window) {
  windows_.erase(window);
  if (focus_ == window) focus_ = 0;
  if (foreground_ == window) foreground_ = 0;
}

bool SimDesktop::IsWindowValid(WindowHandle window) const { return windows_.count(window) != 0; }

std::string SimDesktop::WindowClassName(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? std::string() : it->second.className;
}

int SimDesktop::WindowControlId(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.controlId;
}

WindowHandle SimDesktop::WindowParent(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.parent;
}

ProcessId SimDesktop::WindowProcessId(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.process;
}

void SimDesktop::SetHigherRights(ProcessId process, bool higher) {
  std::erase(higherRights_, process);
  if (higher) higherRights_.push_back(process);
}

bool SimDesktop::RunsWithHigherRights(WindowHandle window) const {
  const ProcessId process = WindowProcessId(window);
  return process != 0 && std::find(higherRights_.begin(), higherRights_.end(), process) != higherRights_.end();
}

void SimProcesses::AddProcess(ProcessId id, const std::string& path) {
  processes_.push_back(ProcessInfo{id, path});
}

void SimProcesses::RemoveProcess(ProcessId id) {
  processes_.erase(std::remove_if(processes_.begin(), processes_.end(),
                                  [id](const ProcessInfo& p) { return p.id == id; }),
                   processes_.end());
}

bool SimProcesses::ListProcesses(std::vector<ProcessInfo>& out) {
  ++listCount_;
  out.clear();
  if (failing_) return false;
  for (const ProcessInfo& p : processes_)
    if (!p.path.empty()) out.push_back(p);
  return true;
}

class SimRegistryKey final : public RegistryKey {
 public:
  SimRegistryKey(SimRegistry& registry, std::string key) : registry_(registry), key_(std::move(key)) {}

  bool QueryValue(const char* name, void* data, std::uint32_t* size) override {
    auto& values = registry_.keys_[key_];
    auto it = values.find(Folded(name ? name : ""));
    if (it == values.end() || !size) return false;
    std::uint32_t length = std::uint32_t(it->second.size());
    bool fits = length <= *size;
    if (fits && data && length) std::memcpy(data, it->second.data(), length);
    *size = length;
    return fits;
  }

  bool SetBinaryValue(const char* name, const void* data, std::uint32_t size) override {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    registry_.keys_[key_][Folded(name ? name : "")].assign(bytes, bytes + size);
    ++registry_.writeCount_;
    return true;
  }

 private:
  SimRegistry& registry_;
  std::string key_;
};

std::string SimRegistry::KeyName(RegistryRoot root, const std::string& path) {
  return (root == RegistryRoot::LocalMachine ? "hklm\\" : "hkcu\\") + Folded(path);
}

std::unique_ptr<RegistryKey> SimRegistry::CreateKey(RegistryRoot root, const std::string& path) {
  if (unavailable_) return nullptr;
  std::string key = KeyName(root, path);
  keys_[key];
  return std::make_unique<SimRegistryKey>(*this, key);
}

bool SimRegistry::HasKey(RegistryRoot root, const std::string& path) const {
  return keys_.count(KeyName(root, path)) != 0;
}

bool SimRegistry::Value(RegistryRoot root, const std::string& path, const std::string& name,
                        std::vector<std::uint8_t>& bytes) const {
  auto key = keys_.find(KeyName(root, path));
  if (key == keys_.end()) return false;
  auto it = key->second.find(Folded(name));
  if (it == key->second.end()) return false;
  bytes = it->second;
  return true;
}

void SimRegistry::SetValue(RegistryRoot root, const std::string& path, const std::string& name,
                           const std::vector<std::uint8_t>& bytes) {
  keys_[KeyName(root, path)][Folded(name)] = bytes;
}

}  // namespace platform::sim
