// ClipboardKeeper::PasteText: the clipboard calls, Ctrl+V, and what happens
// when the clipboard is held elsewhere or memory runs out.
#include "output/ClipboardKeeper.h"

#include <gtest/gtest.h>

#include "output/SendKeystroke.h"
#include "output_fakes.h"

namespace {

using output::ClipboardKeeper;
using output_test::Event;
using output_test::Recorder;

class Paste : public ::testing::Test {
 protected:
  Recorder system;
  ClipboardKeeper keeper{system, system};
};

TEST_F(Paste, TextGoesOnTheClosedClipboardBeforeCtrlV) {
  EXPECT_EQ(keeper.PasteText("\x93\xfa\x96\x7b", 0x1234), 1);
  EXPECT_EQ(system.Trace(), "open empty set close +Ctrl +V -V -Ctrl");
  EXPECT_EQ(system.clipboardText, "\x93\xfa\x96\x7b");
  EXPECT_FALSE(system.open);
}

TEST_F(Paste, CtrlVCarriesTheExtendedFlagAndOurScanCode) {
  keeper.PasteText("text", 0);
  std::vector<Event> keys;
  for (const Event& e : system.events) {
    if (e.kind == Event::kKey) keys.push_back(e);
  }
  const std::uint32_t down = platform::kKeyExtended;
  const std::uint32_t up = platform::kKeyExtended | platform::kKeyUp;
  const std::pair<std::uint8_t, std::uint32_t> want[] = {
      {output::kVkControl, down}, {output::kVkV, down}, {output::kVkV, up}, {output::kVkControl, up}};
  ASSERT_EQ(keys.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(keys[i].vk, want[i].first) << i;
    EXPECT_EQ(keys[i].flags, want[i].second) << i;
  }
  for (const Event& e : keys) EXPECT_EQ(e.scan, 0xEE);
}

TEST_F(Paste, ClipboardHeldElsewhereSkipsThePieceQuietly) {
  system.clipboardBusy = true;
  system.clipboardText = "theirs";
  EXPECT_EQ(keeper.PasteText("ours", 0), 1);
  EXPECT_EQ(system.Trace(), "open");
  EXPECT_EQ(system.clipboardText, "theirs");
  EXPECT_EQ(system.KeyEventCount(), 0);
}

TEST_F(Paste, NoMemoryPutsTheUserContentBackAndSendsNoKey) {
  system.outOfMemory = true;
  system.clipboardText = "before";
  EXPECT_EQ(keeper.PasteText("ours", 0), 0);
  EXPECT_EQ(system.Trace(), "open empty set close");
  EXPECT_EQ(system.clipboardText, "before");
  EXPECT_FALSE(system.open);
  EXPECT_EQ(system.KeyEventCount(), 0);
  EXPECT_FALSE(keeper.RestorePending());
}

TEST_F(Paste, EarlierClipboardContentIsReplaced) {
  system.clipboardText = "earlier";
  keeper.PasteText("later", 0);
  EXPECT_EQ(system.clipboardText, "later");
  EXPECT_EQ(system.Typed(), "{PASTE:later}");
}

}  // namespace
