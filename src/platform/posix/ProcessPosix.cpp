// Processes from /proc: every numeric entry whose "exe" link can be read.
#include "platform/Process.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {
namespace {

std::string ReadExeLink(const std::string& link) {
  char buffer[4096];
  ssize_t n = readlink(link.c_str(), buffer, sizeof buffer);
  if (n <= 0 || n >= ssize_t(sizeof buffer)) return {};
  return std::string(buffer, std::size_t(n));
}

class ProcProcesses final : public ProcessSource {
 public:
  bool ListProcesses(std::vector<ProcessInfo>& out) override {
    out.clear();
    DIR* dir = opendir("/proc");
    if (!dir) return false;
    while (dirent* entry = readdir(dir)) {
      char* end = nullptr;
      unsigned long pid = std::strtoul(entry->d_name, &end, 10);
      if (!end || *end != '\0' || pid == 0 || pid > 0xffffffffUL) continue;
      std::string path = ReadExeLink(std::string("/proc/") + entry->d_name + "/exe");
      if (path.empty()) continue;
      out.push_back(ProcessInfo{ProcessId(pid), std::move(path)});
    }
    closedir(dir);
    return true;
  }
};

}  // namespace

ProcessSource& SystemProcesses() {
  static ProcProcesses processes;
  return processes;
}

ProcessId CurrentProcessId() { return ProcessId(getpid()); }

std::string CurrentExecutablePath() { return ReadExeLink("/proc/self/exe"); }

}  // namespace platform
