#include "engine/TrayIconKeeper.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A shell that refuses adds while it is not there. Its log: 'a' an add it
// took, 'x' one it refused, '+' / '-' the retry timer started / stopped.
struct FakeShell : engine::TrayIconKeeper::Shell {
  bool there = false;
  std::string log;
  bool AddIcon() override { return log += there ? 'a' : 'x', there; }
  void SetRetryTimer(bool on) override { log += on ? '+' : '-'; }
};

TEST(TrayIconKeeper, AFailedAddIsRetriedUntilTheShellTakesTheIcon) {
  FakeShell shell;
  engine::TrayIconKeeper keeper(shell);
  keeper.Start();  // at logon, before the notification area exists
  keeper.OnRetryTimer();
  shell.there = true;
  keeper.OnRetryTimer();
  EXPECT_TRUE(keeper.Added());
  // A restarted shell is told at once; one not ready yet gets the timer.
  shell.there = false;
  keeper.OnShellRestarted();
  shell.there = true;
  keeper.OnShellRestarted();
  // Hidden on purpose, the icon is not added back.
  keeper.SetWanted(false);
  keeper.OnShellRestarted();
  keeper.OnRetryTimer();
  keeper.SetWanted(true);
  EXPECT_EQ(shell.log, "x+xa-" "x+a-" "a");
}

}  // namespace
