// Mapping a window to the executable of its process.
#include "config/ProcessEnum.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/sim/SimDesktop.h"

namespace {

class ProcessEnum : public ::testing::Test {
 protected:
  ProcessEnum() {
    processes.AddProcess(10, "C:\\a.exe");
    processes.AddProcess(20, "C:\\b.exe");
  }
  platform::sim::SimDesktop desktop;
  platform::sim::SimProcesses processes;
  CProcessEnum pe{processes, desktop};
  char path[260] = "stale";
};

TEST_F(ProcessEnum, PathOfAProcessById) {
  processes.AddProcess(20, "C:\\later-duplicate.exe");
  processes.AddProcess(30, std::string(400, 'p'));
  EXPECT_EQ(pe.GetProcessPath(20, path), 8u);
  EXPECT_STREQ(path, "C:\\b.exe");
  std::memset(path, 'x', sizeof path);
  EXPECT_EQ(pe.GetProcessPath(40, path), 0u);
  EXPECT_STREQ(path, "");
  EXPECT_EQ(pe.processes.size(), 4u);
  // An overlong path is cut to the entry.
  EXPECT_EQ(pe.GetProcessPath(30, path), 259u);
  EXPECT_EQ(std::string(path), std::string(259, 'p'));
}

TEST_F(ProcessEnum, WindowMapsToItsOwningProcessListedAfreshOrToNothing) {
  EXPECT_EQ(pe.GetProcessPathFromWindow(0, path), 0u);  // no window: nothing, no listing
  EXPECT_STREQ(path, "");
  EXPECT_EQ(processes.listCount(), 0);
  platform::WindowHandle w = desktop.AddWindow("Frame", 0, 0, 20);
  EXPECT_EQ(pe.GetProcessPathFromWindow(w, path), 8u);
  EXPECT_STREQ(path, "C:\\b.exe");
  processes.RemoveProcess(20);
  EXPECT_EQ(pe.GetProcessPathFromWindow(w, path), 0u);
  EXPECT_EQ(processes.listCount(), 2);
  // A failed listing gives an empty list.
  processes.SetFailing(true);
  EXPECT_FALSE(pe.Enumerate());
  EXPECT_TRUE(pe.processes.empty());
  EXPECT_EQ(pe.GetProcessPath(10, path), 0u);
}

TEST(SystemProcessEnum, OwnWindowYieldsOwnExecutable) {
  // A window of this program, on the simulated desktop, with the machine's
  // real process list.
  platform::sim::SimDesktop desktop;
  platform::WindowHandle w = desktop.AddWindow("Own", 0, 0, platform::CurrentProcessId());
  CProcessEnum pe(platform::SystemProcesses(), desktop);
  char path[260];
  std::uint32_t n = pe.GetProcessPathFromWindow(w, path);
  std::string own = platform::CurrentExecutablePath();
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(n, own.size());
  EXPECT_EQ(std::string(path), own);
  CProcessEnum defaults;  // the system's own lists
  EXPECT_EQ(defaults.GetProcessPath(platform::CurrentProcessId(), path), own.size());
}

}  // namespace
