// The options store on a simulated desktop and raw file helpers for the
// configuration tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/Files.h"
#include "config/Config.h"
#include "platform/sim/SimDesktop.h"

namespace configtest {

using TempDir = testutil::ScratchDir;
using testutil::Junk;
using testutil::ReadFile;
using testutil::WriteFile;

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// A double-NUL list of the profile functions.
inline std::string List(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& s : items) {
    out += s;
    out += '\0';
  }
  out += '\0';
  return out;
}

// An options store on a simulated desktop, its files in a fresh folder.
class ConfigFixture : public ::testing::Test {
 protected:
  ConfigFixture() {
    config.strAppDir = dir.DirWithSeparator();
    reread.strAppDir = config.strAppDir;
  }

  TempDir dir;
  platform::sim::SimDesktop desktop;
  platform::sim::SimProcesses processes;
  CConfig config{desktop, processes};
  // A second store on the same folder, as after a restart.
  platform::sim::SimDesktop otherDesktop;
  platform::sim::SimProcesses otherProcesses;
  CConfig reread{otherDesktop, otherProcesses};
};

}  // namespace configtest
