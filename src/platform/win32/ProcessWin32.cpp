// Processes through the process-status library (PSAPI), loaded at run time
// with the entry points looked up by name. Where the library or one of its
// entry points is missing, the Toolhelp snapshot functions list them instead.
#include "platform/Process.h"

#include <windows.h>
#include <tlhelp32.h>

namespace platform {
namespace {

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

// Looks an entry point up by name; the cast goes through a generic function
// pointer so that the compiler accepts it.
template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  FARPROC p = GetProcAddress(module, name);
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
}

class Psapi {
 public:
  Psapi() {
    psapi_ = LoadLibraryA("PSAPI.DLL");
    vdmdbg_ = LoadLibraryA("VDMDBG.DLL");
    if (!psapi_ || !vdmdbg_) return;
    enumProcesses_ = Lookup<EnumProcessesFn>(psapi_, "EnumProcesses");
    fileNameEx_ = Lookup<GetModuleFileNameExFn>(psapi_, "GetModuleFileNameExA");
    enumModules_ = Lookup<EnumProcessModulesFn>(psapi_, "EnumProcessModules");
    bool others = GetProcAddress(vdmdbg_, "VDMEnumTaskWOWEx") &&
                  GetProcAddress(psapi_, "GetModuleBaseNameA");
    loaded_ = enumProcesses_ && fileNameEx_ && enumModules_ && others;
  }
  ~Psapi() {
    if (psapi_) FreeLibrary(psapi_);
    if (vdmdbg_) FreeLibrary(vdmdbg_);
  }
  Psapi(const Psapi&) = delete;
  Psapi& operator=(const Psapi&) = delete;

  bool loaded() const { return loaded_; }

  bool List(std::vector<ProcessInfo>& out) const {
    DWORD ids[1024];
    DWORD bytes = 0;
    if (!enumProcesses_(ids, sizeof ids, &bytes)) return false;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
      HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
      if (!process) continue;
      HMODULE modules[1024];
      DWORD needed = 0;
      char path[MAX_PATH] = {};
      if (enumModules_(process, modules, sizeof modules, &needed) && needed > 0 &&
          fileNameEx_(process, modules[0], path, MAX_PATH) > 0 && path[0]) {
        out.push_back(ProcessInfo{ids[i], path});
      }
      CloseHandle(process);
    }
    return true;
  }

 private:
  HMODULE psapi_ = nullptr;
  HMODULE vdmdbg_ = nullptr;
  EnumProcessesFn enumProcesses_ = nullptr;
  GetModuleFileNameExFn fileNameEx_ = nullptr;
  EnumProcessModulesFn enumModules_ = nullptr;
  bool loaded_ = false;
};

// The snapshot names only the executable's file; its first module entry has
// the full path, which we take when the process lets us see its modules.
bool ListWithToolhelp(std::vector<ProcessInfo>& out) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    std::string path = entry.szExeFile;
    HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, entry.th32ProcessID);
    if (modules != INVALID_HANDLE_VALUE) {
      MODULEENTRY32 module = {};
      module.dwSize = sizeof module;
      if (Module32First(modules, &module) && module.szExePath[0]) path = module.szExePath;
      CloseHandle(modules);
    }
    if (!path.empty()) out.push_back(ProcessInfo{entry.th32ProcessID, path});
  }
  CloseHandle(snapshot);
  return true;
}

class Win32Processes final : public ProcessSource {
 public:
  bool ListProcesses(std::vector<ProcessInfo>& out) override {
    out.clear();
    Psapi psapi;
    if (psapi.loaded()) return psapi.List(out);
    return ListWithToolhelp(out);
  }
};

}  // namespace

ProcessSource& SystemProcesses() {
  static Win32Processes processes;
  return processes;
}

ProcessId CurrentProcessId() { return GetCurrentProcessId(); }

std::string CurrentExecutablePath() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

}  // namespace platform
