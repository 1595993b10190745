// Options store speed: a full load with a large Config.ini and AppConfig.ini,
// and the application decision for a cached window.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/Config.h"

namespace {

// A minimal desktop: one window owned by one process.
class OneWindowDesktop final : public platform::Desktop {
 public:
  bool IsWindowValid(platform::WindowHandle w) const override { return w == 0x100; }
  std::string WindowClassName(platform::WindowHandle) const override { return "Edit"; }
  int WindowControlId(platform::WindowHandle) const override { return 1; }
  platform::WindowHandle WindowParent(platform::WindowHandle) const override { return 0; }
  platform::ProcessId WindowProcessId(platform::WindowHandle) const override { return 42; }
};

class OneProcess final : public platform::ProcessSource {
 public:
  bool ListProcesses(std::vector<platform::ProcessInfo>& out) override {
    out.assign(1, platform::ProcessInfo{42, "C:\\Apps\\App999.exe"});
    return true;
  }
};

std::string MakeFolder() {
  auto dir = std::filesystem::temp_directory_path() / "quillet-config-bench";
  std::filesystem::create_directories(dir);
  std::ofstream config((dir / "Config.ini").string(), std::ios::binary | std::ios::trunc);
  config << "[AutoLearn]\r\nbEanbleAutolearn=1\r\nnMinLearnLength=3\r\nstrSeparate=; ,.\r\n"
         << "[HotKeys]\r\nvkSelectIndex=70717273747576777879\r\ndwEnableHoam=131188\r\n"
         << "[Others]\r\nnMaxItemShow=7\r\n[DBS]\r\n";
  for (int i = 1; i <= 1000; ++i)
    config << "DB" << i << "=C:\\Program Files\\Quillet\\libs\\dictionary" << i << ".lib\r\nDB" << i
           << "-B=" << (i % 2) << "\r\n";
  std::ofstream apps((dir / "AppConfig.ini").string(), std::ios::binary | std::ios::trunc);
  apps << "[Other_Apps]\r\nWORK_ON_QL=1\r\n";
  for (int i = 1; i <= 1000; ++i)
    apps << "[APP" << i << "]\r\nCAPTION=Application " << i << "\r\nPATH=C:\\Apps\\App" << i
         << ".exe\r\nEDIT_ID=\r\nWORK_ON_QL=" << (i % 2) << "\r\n";
  return (dir / "").string();
}

void BM_LoadAll_1000Dicts_1000Rules(benchmark::State& state) {
  OneWindowDesktop desktop;
  OneProcess processes;
  CConfig config(desktop, processes);
  config.strAppDir = MakeFolder();
  for (auto _ : state) {
    config.LoadAll();
    benchmark::DoNotOptimize(config.appRules.data());
  }
  if (config.appRules.size() != 1000) state.SkipWithError("rules not loaded");
}
BENCHMARK(BM_LoadAll_1000Dicts_1000Rules)->Unit(benchmark::kMillisecond);

void BM_IsWorkOnWindow_Cached(benchmark::State& state) {
  OneWindowDesktop desktop;
  OneProcess processes;
  CConfig config(desktop, processes);
  config.strAppDir = MakeFolder();
  config.LoadAll();
  config.IsWorkOnWindow(0x100);
  for (auto _ : state) benchmark::DoNotOptimize(config.IsWorkOnWindow(0x100));
}
BENCHMARK(BM_IsWorkOnWindow_Cached);

void BM_IsWorkOnWindow_NewWindow(benchmark::State& state) {
  OneWindowDesktop desktop;
  OneProcess processes;
  CConfig config(desktop, processes);
  config.strAppDir = MakeFolder();
  config.LoadAll();
  for (auto _ : state) {
    config.hLastWindow = 0;  // forget the cache: one process lookup per call
    benchmark::DoNotOptimize(config.IsWorkOnWindow(0x100));
  }
}
BENCHMARK(BM_IsWorkOnWindow_NewWindow);

}  // namespace

BENCHMARK_MAIN();
