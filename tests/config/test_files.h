// Scratch folders and raw file access for the configuration tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "config/Config.h"
#include "platform/sim/sim_desktop.h"

namespace configtest {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("quillet-cfg-") + (info ? info->name() : "x") + "-" +
                       std::to_string(counter++);
    for (char& c : name)
      if (c == '/' || c == '\\') c = '_';
    dir_ = std::filesystem::temp_directory_path() / name;
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    std::filesystem::create_directories(dir_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Full path of a file in the folder, in the platform's own spelling.
  std::string Path(const std::string& file) const { return (dir_ / file).string(); }
  // The folder with a trailing separator.
  std::string DirWithSeparator() const {
    return (dir_ / "").string();
  }

 private:
  std::filesystem::path dir_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// n bytes of binary garbage, the same on every run.
inline std::string Junk(int n, int mul, int add) {
  std::string junk;
  for (int i = 0; i < n; ++i) junk += char((i * mul + add) & 0xff);
  return junk;
}

// An options store on a simulated desktop, its files in a fresh folder.
class ConfigFixture : public ::testing::Test {
 protected:
  ConfigFixture() { config.strAppDir = dir.DirWithSeparator(); }

  TempDir dir;
  platform::sim::SimDesktop desktop;
  platform::sim::SimProcesses processes;
  CConfig config{desktop, processes};
  // A second store on the same folder, as after a restart.
  platform::sim::SimDesktop otherDesktop;
  platform::sim::SimProcesses otherProcesses;
  CConfig reread{otherDesktop, otherProcesses};
  void SetUp() override { reread.strAppDir = config.strAppDir; }
};

}  // namespace configtest
