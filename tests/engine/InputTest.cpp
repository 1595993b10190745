// The input buffer: which keys extend it, its bound, Backspace, the prompt's
// own keys, per-window slots, and the query tails.
#include "EngineHarness.h"

namespace enginetest {
namespace {

class Input : public EngineTest {};

TEST_F(Input, TheBufferKeepsItsLastBytesAndNeverGrowsPastItsBound) {
  Start();
  for (int i = 0; i < 1030; ++i) {
    keyboard.Tap('A' + i % 26);
    main->Pump();
  }
  EXPECT_EQ(Engine().m_strInput.size(), 1025u);
  EXPECT_EQ(Engine().m_strInput.back(), 'a' + 1029 % 26);
  EXPECT_EQ(Text().size(), 1030u);
}

TEST_F(Input, ACompletionKeepsTheBufferWithinItsBound) {
  AddWords("words.lib", {{"hello world and more words", ""}});
  Start();
  Engine().m_strInput = std::string(1020, 'x') + " hel";
  Engine().OnInputChanged();
  ASSERT_TRUE(PromptShown());
  Tap(kTab);
  EXPECT_EQ(Engine().m_strInput.size(), 1024u);
  EXPECT_EQ(Engine().m_strInput.substr(1024 - 27), " hello world and more words");
}

TEST_F(Input, BackspaceDropsOneByteAndAlwaysReachesTheWindow) {
  Start();
  Engine().m_strInput.clear();
  Tap(kBack);  // an empty buffer stays empty, and the key still arrives
  EXPECT_EQ(Engine().m_strInput, "");
  Type("ab");
  Press(kBack);
  EXPECT_FALSE(keyboard.log.back().swallowed);
  EXPECT_EQ(Engine().m_strInput, "a");
  Release(kBack);
  EXPECT_TRUE(keyboard.log.back().swallowed);
  EXPECT_EQ(Text(), "a");
}

TEST_F(Input, BackspaceDropsADoubleByteCharacterWhole) {
  dicttest::CodePageScope gbk(936);
  if (!gbk.ok()) GTEST_SKIP() << "code page 936 is not this system's code page";
  Start();
  Engine().m_strInput = "x\xc4\xe3";  // two lead bytes at the end: one character
  Press(kBack);
  EXPECT_EQ(Engine().m_strInput, "x");
}

TEST_F(Input, OnlyPrintableSingleByteTextExtendsTheBuffer) {
  Start();
  Type("a\tb");
  EXPECT_EQ(Engine().m_strInput, "ab");
  EXPECT_EQ(Text(), "a\tb");
  // A key that yields an accented letter reaches the window only.
  uint64_t wParam = 0xE9;
  EXPECT_EQ(Engine().OnHookKey(wParam, 0x4500), 1);
  EXPECT_EQ(Engine().m_strInput, "ab");
  // A release adds nothing.
  EXPECT_EQ(Engine().OnHookKey('c', 0x4301), 1);
  EXPECT_EQ(Engine().m_strInput, "ab");
}

TEST_F(Input, IndexKeysAreOrdinaryKeysWhileThePromptIsHidden) {
  std::fill(std::begin(config.vkSelectIndex), std::end(config.vkSelectIndex), 0);
  for (int i = 0; i < 9; ++i) config.vkSelectIndex[i] = static_cast<uint8_t>('1' + i);
  config.vkSelectIndex[9] = '0';
  AddWords("words.lib", {{"one", ""}, {"once", ""}});
  Start();
  Type("1");
  EXPECT_EQ(Engine().m_strInput, "1");
  Type(" on");
  ASSERT_TRUE(PromptShown());
  Type("2");  // the second row; neither press nor release reaches the window
  EXPECT_EQ(Text(), "1 one");
}

TEST_F(Input, FocusIntoAMenuAndBackRestoresTheBuffer) {
  Start();
  Type("menu");
  WindowHandle menu = desktop.AddWindow("#32768", 0, 0, 100);
  desktop.FocusMenu(menu);
  main->Pump();
  EXPECT_EQ(Main().Caret().focusWindow, 0u);
  EXPECT_EQ(Engine().m_strInput, "");
  desktop.SetFocus(edit);
  main->Pump();
  EXPECT_EQ(Engine().m_strInput, "menu");
}

TEST_F(Input, SlotsOfClosedWindowsAreReused) {
  Start();
  for (size_t i = 0; i < engine::CTypingEngine::kSavedSlots; ++i)
    Engine().m_aSavedInput[i] = {static_cast<WindowHandle>(0x900000 + i), "dead"};
  Type("kept");
  WindowHandle other = AddEditBox(notepad, 2);
  desktop.SetFocus(other);
  main->Pump();
  EXPECT_EQ(Engine().m_aSavedInput[0].window, edit);
  EXPECT_EQ(Engine().m_aSavedInput[0].text, "kept");
}

TEST_F(Input, TailsCountSeparatorsFromTheEnd) {
  Start();
  auto& e = Engine();
  e.m_strInput = "one two three four";
  EXPECT_EQ(e.Tail(0), "four");
  EXPECT_EQ(e.Tail(1), "three four");
  EXPECT_EQ(e.Tail(2), "two three four");
  e.m_strInput = "a-b_c/d\\e";  // none of these separate
  EXPECT_EQ(e.Tail(0), "a-b_c/d\\e");
  e.m_strInput = "x,\t  y";
  EXPECT_EQ(e.Tail(2), "y");  // leading blanks dropped
  e.m_strInput = "(x)";
  EXPECT_EQ(e.Tail(0), "");
  EXPECT_EQ(e.Tail(1), "x)");
}

TEST_F(Input, KeysInAnyOrderNeverBreakTheEngine) {
  AddWords("words.lib", {{"aa", ""}, {"ab", ""}});
  Start();
  for (int i = 0; i < 10000; ++i) Engine().OnHookKey(0x08, 0x0800);
  EXPECT_EQ(Engine().m_strInput, "");
  for (int i = 0; i < 2000; ++i) {
    Engine().OnHookKey(static_cast<uint64_t>(i % 3 == 0 ? 'a' : (i % 3 == 1 ? ',' : 0x81)),
                       ((0x41 + i % 60) << 8) | (i % 2));
    Engine().OnHookKey(0, (0x70 + i % 12) << 8 | (i % 2));
    main->Pump();
  }
  EXPECT_LE(Engine().m_strInput.size(), 1026u);
}

}  // namespace
}  // namespace enginetest
