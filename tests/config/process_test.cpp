// Mapping a window to the executable of its process.
#include "config/ProcessEnum.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/sim/sim_desktop.h"

namespace {

using platform::sim::SimDesktop;
using platform::sim::SimProcesses;

TEST(ProcessEnum, PathOfAProcessById) {
  SimDesktop desktop;
  SimProcesses processes;
  processes.AddProcess(10, "C:\\a.exe");
  processes.AddProcess(20, "C:\\b.exe");
  processes.AddProcess(20, "C:\\later-duplicate.exe");
  CProcessEnum pe(processes, desktop);
  char path[260];
  EXPECT_EQ(pe.GetProcessPath(20, path), 8u);
  EXPECT_STREQ(path, "C:\\b.exe");
  std::memset(path, 'x', sizeof path);
  EXPECT_EQ(pe.GetProcessPath(30, path), 0u);
  EXPECT_STREQ(path, "");
  EXPECT_EQ(pe.processes.size(), 3u);
}

TEST(ProcessEnum, NoWindowGivesNothingWithoutListing) {
  SimDesktop desktop;
  SimProcesses processes;
  processes.AddProcess(10, "C:\\a.exe");
  CProcessEnum pe(processes, desktop);
  char path[260] = "stale";
  EXPECT_EQ(pe.GetProcessPathFromWindow(0, path), 0u);
  EXPECT_STREQ(path, "");
  EXPECT_EQ(processes.listCount(), 0);
}

TEST(ProcessEnum, WindowMapsToItsOwningProcess) {
  SimDesktop desktop;
  SimProcesses processes;
  processes.AddProcess(10, "C:\\a.exe");
  processes.AddProcess(11, "C:\\b.exe");
  platform::WindowHandle w = desktop.AddWindow("Frame", 0, 0, 11);
  CProcessEnum pe(processes, desktop);
  char path[260];
  EXPECT_EQ(pe.GetProcessPathFromWindow(w, path), 8u);
  EXPECT_STREQ(path, "C:\\b.exe");
  // Every question lists the processes afresh.
  processes.RemoveProcess(11);
  EXPECT_EQ(pe.GetProcessPathFromWindow(w, path), 0u);
  EXPECT_EQ(processes.listCount(), 2);
}

TEST(ProcessEnum, FailedListingGivesAnEmptyList) {
  SimDesktop desktop;
  SimProcesses processes;
  processes.AddProcess(10, "C:\\a.exe");
  processes.SetFailing(true);
  CProcessEnum pe(processes, desktop);
  EXPECT_FALSE(pe.Enumerate());
  EXPECT_TRUE(pe.processes.empty());
  char path[260];
  EXPECT_EQ(pe.GetProcessPath(10, path), 0u);
}

TEST(ProcessEnum, OverlongPathIsCutToTheEntry) {
  SimDesktop desktop;
  SimProcesses processes;
  processes.AddProcess(10, std::string(400, 'p'));
  CProcessEnum pe(processes, desktop);
  char path[260];
  EXPECT_EQ(pe.GetProcessPath(10, path), 259u);
  EXPECT_EQ(std::string(path), std::string(259, 'p'));
}

TEST(ProcessEnum, OwnWindowYieldsOwnExecutable) {
  // A window of this program, on the simulated desktop, with the machine's
  // real process list.
  SimDesktop desktop;
  platform::WindowHandle w = desktop.AddWindow("Own", 0, 0, platform::CurrentProcessId());
  CProcessEnum pe(platform::SystemProcesses(), desktop);
  char path[260];
  std::uint32_t n = pe.GetProcessPathFromWindow(w, path);
  std::string own = platform::CurrentExecutablePath();
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(n, own.size());
  EXPECT_EQ(std::string(path), own);
  EXPECT_GT(pe.processes.size(), 0u);
}

TEST(ProcessEnum, SystemDefaultsWork) {
  CProcessEnum pe;
  EXPECT_TRUE(pe.Enumerate());
  bool found = false;
  for (const ProcessEntry& e : pe.processes) found = found || e.dwProcessId == platform::CurrentProcessId();
  EXPECT_TRUE(found);
}

}  // namespace
