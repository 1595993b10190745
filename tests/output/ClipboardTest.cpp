// ClipboardKeeper::PasteText: the clipboard calls, Ctrl+V, and what happens
// when the clipboard is held elsewhere or memory runs out.
#include "output/ClipboardKeeper.h"

#include <gtest/gtest.h>

#include "output/SendKeystroke.h"
#include "OutputFakes.h"

namespace {

using output::ClipboardKeeper;
using output_test::Event;
using output_test::Recorder;

class Paste : public ::testing::Test {
 protected:
  Recorder system;
  ClipboardKeeper keeper{system, system};
};

// The text replaces what the clipboard held; Ctrl+V carries the extended
// flag and our scan code.
TEST_F(Paste, TextGoesOnTheClosedClipboardBeforeCtrlV) {
  system.clipboardText = "earlier";
  EXPECT_EQ(keeper.PasteText("\x93\xfa\x96\x7b", 0x1234), 1);
  ASSERT_EQ(system.Trace(), "open empty set close +Ctrl +V -V -Ctrl");
  EXPECT_EQ(system.Typed(), "{PASTE:\x93\xfa\x96\x7b}");
  EXPECT_EQ(system.clipboardText, "\x93\xfa\x96\x7b");
  EXPECT_FALSE(system.open);
  const std::uint32_t extended = platform::kKeyExtended, up = platform::kKeyUp;
  const std::uint32_t flags[] = {extended, extended, extended | up, extended | up};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(system.events[4 + i].flags, flags[i]) << i;
    EXPECT_EQ(system.events[4 + i].scan, 0xEE) << i;
  }
}

TEST_F(Paste, ClipboardHeldElsewhereSkipsThePieceQuietly) {
  system.clipboardBusy = true;
  system.clipboardText = "theirs";
  EXPECT_EQ(keeper.PasteText("ours", 0), 1);
  EXPECT_EQ(system.Trace(), "open");
  EXPECT_EQ(system.clipboardText, "theirs");
}

TEST_F(Paste, NoMemoryPutsTheUserContentBackAndSendsNoKey) {
  system.outOfMemory = true;
  system.clipboardText = "before";
  EXPECT_EQ(keeper.PasteText("ours", 0), 0);
  EXPECT_EQ(system.Trace(), "open empty set close");
  EXPECT_EQ(system.clipboardText, "before");
  EXPECT_FALSE(system.open);
  EXPECT_FALSE(keeper.RestorePending());
}

}  // namespace
