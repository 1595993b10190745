// The posix backend has no keyboard and no clipboard: typing goes nowhere
// and pasting is skipped as if another program held the clipboard.
#include "platform/Keyboard.h"

#include <gtest/gtest.h>

#include "output/ClipboardKeeper.h"
#include "output/MacroTyper.h"

namespace {

TEST(PosixKeyboard, NoKeyNoCapsLockNoClipboardAndTypingStillCompletes) {
  platform::KeyboardOutput& keyboard = platform::SystemKeyboard();
  EXPECT_EQ(keyboard.VkKeyScan('a'), -1);
  EXPECT_FALSE(keyboard.CapsLockOn());
  EXPECT_FALSE(platform::SystemClipboard().Open());
  output::ClipboardKeeper keeper;
  EXPECT_EQ(keeper.PasteText("text", 0), 1);
  output::MacroTyper typer;
  typer.Parse("a%CARET%b\xe9%TAB%");
  EXPECT_EQ(typer.TypeOut(0), 1);
}

}  // namespace
