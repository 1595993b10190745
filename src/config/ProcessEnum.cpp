#include "config/ProcessEnum.h"

#include <cstring>

CProcessEnum::CProcessEnum() : CProcessEnum(platform::SystemProcesses(), platform::SystemDesktop()) {}

CProcessEnum::CProcessEnum(platform::ProcessSource& source, const platform::Desktop& desktop)
    : m_source(source), m_desktop(desktop) {}

CProcessEnum::~CProcessEnum() = default;

bool CProcessEnum::Enumerate() {
  processes.clear();
  std::vector<platform::ProcessInfo> list;
  if (!m_source.ListProcesses(list)) return false;
  processes.reserve(list.size());
  for (const platform::ProcessInfo& p : list) {
    if (p.path.empty()) continue;
    ProcessEntry entry{};
    // Longer paths than the entry holds are cut; they cannot match a rule's
    // path, which the dialogs take from the same kind of buffer.
    std::size_t n = p.path.size() < sizeof entry.szPath - 1 ? p.path.size() : sizeof entry.szPath - 1;
    std::memcpy(entry.szPath, p.path.data(), n);
    entry.szPath[n] = '\0';
    entry.dwProcessId = p.id;
    processes.push_back(entry);
  }
  return true;
}

std::uint32_t CProcessEnum::GetProcessPath(std::uint32_t id, char* buffer) {
  if (!buffer) return 0;
  buffer[0] = '\0';
  Enumerate();
  for (const ProcessEntry& entry : processes) {
    if (entry.dwProcessId == id) {
      std::size_t n = std::strlen(entry.szPath);
      std::memcpy(buffer, entry.szPath, n + 1);
      return std::uint32_t(n);
    }
  }
  return 0;
}

std::uint32_t CProcessEnum::GetProcessPathFromWindow(platform::WindowHandle window, char* buffer) {
  if (!buffer) return 0;
  buffer[0] = '\0';
  if (!window) return 0;
  return GetProcessPath(m_desktop.WindowProcessId(window), buffer);
}
