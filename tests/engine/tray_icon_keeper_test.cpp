#include "engine/TrayIconKeeper.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using engine::TrayIconKeeper;

// A shell that refuses adds while it is not there; it writes what it was
// asked: 'a' an add it took, 'x' an add it refused, '+' / '-' the retry
// timer started / stopped.
struct FakeShell : TrayIconKeeper::Shell {
  bool there = false;
  std::string log;
  bool AddIcon() override {
    log += there ? 'a' : 'x';
    return there;
  }
  void SetRetryTimer(bool on) override { log += on ? '+' : '-'; }
};

TEST(TrayIconKeeper, AFailedAddIsRetriedUntilTheShellTakesTheIcon) {
  FakeShell shell;
  TrayIconKeeper keeper(shell);
  keeper.Start();  // at logon, before the notification area exists
  keeper.OnRetryTimer();
  EXPECT_EQ(shell.log, "x+x");
  EXPECT_FALSE(keeper.Added());
  shell.there = true;
  keeper.OnRetryTimer();
  EXPECT_EQ(shell.log, "x+xa-");
  EXPECT_TRUE(keeper.Added());

  // A restarted shell is told at once; when it is not ready, the timer
  // goes on trying.
  shell.log.clear();
  shell.there = false;
  keeper.OnShellRestarted();
  shell.there = true;
  keeper.OnShellRestarted();
  EXPECT_EQ(shell.log, "x+a-");

  // Hidden on purpose, the icon is not added back.
  shell.log.clear();
  keeper.SetWanted(false);
  keeper.OnShellRestarted();
  keeper.OnRetryTimer();
  keeper.SetWanted(true);
  EXPECT_EQ(shell.log, "a");
}

}  // namespace
