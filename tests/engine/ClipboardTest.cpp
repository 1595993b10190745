// A double-byte text goes through a clipboard paste; the user's clipboard,
// every format of it, comes back once the target has taken ours.
#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "output/ClipboardKeeper.h"

namespace {

using Item = platform::Clipboard::Item;
using output::ClipboardKeeper;

const std::vector<Item> kTheirs = {{1, std::string("copied\0", 7)}, {0xC009, "\x01\x02\x00\x03"}};

class Paste : public enginetest::EngineTest {};

TEST_F(Paste, TheUserClipboardIsBackAfterAShorthandWasPasted) {
  dicttest::CodePageScope gbk(936);
  if (!gbk.ok()) GTEST_SKIP() << "code page 936 is not available";
  AddShorthands("short.lib", {{"nh", "\xc4\xe3 %DAY% \xba\xc3"}});
  Start();
  clipboard.ReplaceElsewhere(kTheirs);
  Type("nh");
  Tap(enginetest::kTab);
  EXPECT_EQ(Text(), "\xc4\xe3 4 \xba\xc3");
  for (int i = 0; i < 5; ++i) Main().Pump();
  EXPECT_EQ(clipboard.items(), kTheirs);
}

// The keeper alone, against the simulated clipboard and a clock we move.
class Keeper : public ::testing::Test {
 protected:
  Keeper() { clipboard.ReplaceElsewhere(kTheirs); }
  void After(std::uint64_t ms) { now += ms; }

  platform::sim::SimDesktop desktop;
  platform::sim::SimClipboard clipboard;
  platform::sim::SimKeyboard keyboard{desktop, clipboard};
  std::uint64_t now = 1000;
  ClipboardKeeper keeper{clipboard, keyboard, [this] { return now; }};
};

// Ours stays until the target has taken it, however slow the target is;
// several pastes keep what was there before the first.
TEST_F(Keeper, TheUserClipboardComesBackOnlyAfterTheTargetTookOurs) {
  ASSERT_EQ(keeper.PasteText("one", 0), 1);
  After(100);
  EXPECT_TRUE(keeper.Tick());
  ASSERT_EQ(keeper.PasteText("two", 0), 1);
  After(3000);
  EXPECT_TRUE(keeper.Tick());
  EXPECT_EQ(clipboard.Paste(), "two");  // a slow target pastes now
  EXPECT_FALSE(keeper.Tick());
  EXPECT_EQ(clipboard.items(), kTheirs);
  EXPECT_FALSE(keeper.Tick());
  // A target that never asks: the limit counts from the last paste.
  keeper.PasteText("ours", 0);
  After(ClipboardKeeper::kTakeLimitMs - 1);
  EXPECT_TRUE(keeper.Tick());
  After(1);
  EXPECT_FALSE(keeper.Tick());
  EXPECT_EQ(clipboard.items(), kTheirs);
}

TEST_F(Keeper, AClipboardChangedByAnotherProgramIsLeftAlone) {
  const std::vector<Item> newer = {{13, std::string("n\0e\0w\0\0\0", 8)}};
  keeper.PasteText("ours", 0);
  clipboard.ReplaceElsewhere(newer);
  After(ClipboardKeeper::kTakeLimitMs);
  EXPECT_FALSE(keeper.Tick());
  EXPECT_EQ(clipboard.items(), newer);
  // Changed between two pastes: the newer content is the one to keep.
  clipboard.ReplaceElsewhere(kTheirs);
  keeper.PasteText("one", 0);
  clipboard.ReplaceElsewhere(newer);
  keeper.PasteText("two", 0);
  After(ClipboardKeeper::kTakeLimitMs);
  EXPECT_FALSE(keeper.Tick());
  EXPECT_EQ(clipboard.items(), newer);
}

TEST_F(Keeper, AHeldClipboardIsTriedAgainThenGivenUp) {
  keeper.PasteText("ours", 0);
  clipboard.SetHeldElsewhere(true);
  After(ClipboardKeeper::kTakeLimitMs);
  EXPECT_TRUE(keeper.Tick());
  clipboard.SetHeldElsewhere(false);
  EXPECT_FALSE(keeper.Tick());
  EXPECT_EQ(clipboard.items(), kTheirs);

  keeper.PasteText("ours", 0);
  clipboard.SetHeldElsewhere(true);
  After(ClipboardKeeper::kGiveUpMs);
  EXPECT_FALSE(keeper.Tick());
  clipboard.SetHeldElsewhere(false);
  EXPECT_FALSE(keeper.Tick());
  EXPECT_EQ(clipboard.text(), "ours");
}

}  // namespace
