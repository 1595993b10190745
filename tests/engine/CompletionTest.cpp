// Typing scenarios from end to end: keys go through the hook, the prompt
// shows candidates, and completions land in the text box.
#include "EngineHarness.h"
#include "learn/LearnTestUtil.h"

namespace enginetest {
namespace {

class Completion : public EngineTest {};

TEST_F(Completion, LongerTailsComeFirstSoPhrasesBeatWords) {
  AddWords("words.lib", {{"hello world", ""}, {"hello", ""}, {"world", ""}, {"wonder", ""}});
  Start();
  Type("hello wo");
  ASSERT_TRUE(PromptShown());
  EXPECT_EQ(Rows(), (std::vector<std::string>{"hello world"}));
  Tap(kTab);
  EXPECT_EQ(Text(), "hello world");
  EXPECT_FALSE(PromptShown());
  EXPECT_EQ(Engine().m_strInput, "hello world");
}

TEST_F(Completion, WordReplacesWhatWasTypedInTheDictionarySpelling) {
  AddWords("words.lib", {{"World", ""}, {"wonder", ""}});
  Start();
  Type("wo");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"wonder", "World"}));
  EXPECT_EQ(Engine().OnHookKey(0, 0xFF00), 1);  // an unmapped key matches no empty slot
  Tap(kDown);
  Tap(kEnter);  // neither press nor release of Enter reaches the text box
  EXPECT_EQ(Text(), "World");
  EXPECT_EQ(Engine().m_strInput, "World");
  // With the prompt hidden, Enter is an ordinary key and ends up in the buffer.
  Tap(kEnter);
  EXPECT_EQ(Text(), "World\r\n");
  EXPECT_EQ(Engine().m_strInput, "World\r");
}

TEST_F(Completion, AWordTypedInFullIsNotOfferedAgainButAShorthandIs) {
  AddWords("words.lib", {{"the", ""}});
  AddShorthands("short.lib", {{"teh", "the"}});
  Start();
  Type("the");
  EXPECT_FALSE(PromptShown());
  Type(" teh");
  ASSERT_TRUE(PromptShown());
  // The word "teh" is mistyped for comes after the shorthand.
  EXPECT_EQ(Rows(), (std::vector<std::string>{"teh", "the"}));
  Tap(kTab);
  EXPECT_EQ(Text(), "the the");
  EXPECT_EQ(Engine().m_strInput, "");
}

TEST_F(Completion, IndexKeysPickARowOfThePageAndPagesTurn) {
  std::vector<Entry> words;
  for (int i = 0; i < 12; ++i) words.push_back({"ab" + std::string(1, static_cast<char>('a' + i)), ""});
  AddWords("words.lib", words);
  Start();
  Type("ab");
  EXPECT_EQ(Rows().size(), 5u);
  EXPECT_EQ(Rows().front(), "aba");
  Tap(kPageDown);
  EXPECT_EQ(Rows().front(), "abf");
  Tap(kPageDown);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"abk", "abl"}));
  // F3 is beyond the two rows of the last page: a beep and no completion.
  Tap(kF1 + 2);
  EXPECT_EQ(main->beeps, 1);
  EXPECT_EQ(Text(), "ab");
  Tap(kPageUp);
  EXPECT_EQ(Rows().front(), "abf");
  Tap(kF1 + 1);  // F2: the second row of the page
  EXPECT_EQ(Text(), "abg");
}

TEST_F(Completion, NextOnTheLastRowTurnsThePageAndStopsAtTheEnd) {
  AddWords("words.lib", {{"ca", ""}, {"cb", ""}, {"cc", ""}, {"cd", ""}, {"ce", ""}, {"cf", ""}});
  Start();
  Type("c");
  for (int i = 0; i < 4; ++i) Tap(kDown);
  EXPECT_EQ(main->selected, 4);
  Tap(kDown);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"cf"}));
  EXPECT_EQ(main->selected, 0);
  Tap(kDown);
  EXPECT_EQ(main->selected, 0);
  Tap(kUp);  // back to the previous page, last row
  EXPECT_EQ(Rows().front(), "ca");
  EXPECT_EQ(main->selected, 4);
}

TEST_F(Completion, EscapeHidesThePromptAndReachesNothing) {
  AddWords("words.lib", {{"hello", ""}});
  Start();
  Type("he");
  ASSERT_TRUE(PromptShown());
  Press(kEscape);
  EXPECT_FALSE(PromptShown());
  EXPECT_EQ(Engine().m_strInput, "");
  EXPECT_TRUE(keyboard.log.back().swallowed);
  Release(kEscape);  // the release finds the prompt hidden and passes
  EXPECT_FALSE(keyboard.log.back().swallowed);
  EXPECT_EQ(Text(), "he");
}

TEST_F(Completion, ShorthandExpandsMacrosAndLeavesTheCaretAtItsMark) {
  AddShorthands("short.lib", {{"sig", "Best regards,\r\n%CARET%\r\nJo"}, {"dt", "%MONTHNAME% %DAY%, %YEAR%"}});
  Start();
  Type("sig");
  ASSERT_EQ(Rows(), (std::vector<std::string>{"sig"}));
  EXPECT_EQ(main->previewText, "Best regards,\r\n%CARET%\r\nJo");
  EXPECT_EQ(main->previewStyle, 2);
  Tap(kTab);
  EXPECT_EQ(Text(), "Best regards,\r\n\r\nJo");
  EXPECT_EQ(Caret(), std::string("Best regards,\r\n").size());
  Tap(0x23);  // End
  Type(" dt");
  Tap(kTab);
  // End keeps the caret on its (empty) line, so the date goes there.
  EXPECT_EQ(Text(), "Best regards,\r\n Dec 4, 2026\r\nJo");
}

TEST_F(Completion, EachWindowKeepsItsOwnHalfTypedWord) {
  AddWords("words.lib", {{"apple", ""}, {"banana", ""}});
  Start();
  WindowHandle other = AddEditBox(notepad, 16);
  Type("app");
  desktop.SetFocus(other);
  main->Pump();
  EXPECT_EQ(Engine().m_strInput, "");
  Type("ban");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"banana"}));
  desktop.SetFocus(edit);
  main->Pump();
  EXPECT_EQ(Engine().m_strInput, "app");
  Type("l");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"apple"}));
  Tap(kTab);
  EXPECT_EQ(Text(), "apple");
  EXPECT_EQ(desktop.Text(other), "ban");
}

TEST_F(Completion, PathCompletionStepsIntoDirectories) {
  std::filesystem::create_directories(dir.path() / "drive" / "Windows" / "System");
  std::filesystem::create_directories(dir.path() / "drive" / "Users");
  dicttest::WriteFile((dir.path() / "drive" / "win.ini").string(), "x");
  dicttest::WriteFile((dir.path() / "drive" / "Windows" / "notepad.exe").string(), "x");
  Start();
  main->driveRoot = (dir.path() / "drive").string();
  main->extraAttributes = {{"Windows", 0x11}, {"System", 0x2010}};  // read-only, not indexed
  Type("C:\\win");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Windows", "win.ini"}));  // directories first
  EXPECT_EQ(main->rows[0].image, engine::kTypeDirectory - 1);
  Tap(kTab);
  EXPECT_EQ(Text(), "C:\\Windows\\");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"System", "notepad.exe"}));
  Tap(kDown);
  Tap(kTab);
  EXPECT_EQ(Text(), "C:\\Windows\\notepad.exe");
  EXPECT_FALSE(PromptShown());
}

TEST_F(Completion, APathListHasNoFurtherPage) {
  AddWords("words.lib", {{"ca", ""}, {"cb", ""}, {"cc", ""}});
  config.nMaxItemShow = 1;
  Start();
  main->driveRoot = dir.path().string();
  std::filesystem::create_directories(dir.path() / "alpha");
  Type("c");  // its dictionary lookup leaves the cursor open
  Tap(kPageDown);  // and a page further on
  Engine().m_strInput = "C:\\";
  Engine().OnInputChanged();
  Tap(kUp);  // the first row has no earlier page
  EXPECT_EQ(main->selected, 0);
  Tap(kPageDown);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"alpha", "libs"}));
}

// Half-typed text is not taken up again when the focus comes back to an
// application the rules now switch off.
TEST_F(Completion, ASwitchedOffApplicationGetsNoPromptBack) {
  AddWords("words.lib", {{"apple", ""}});
  Start();
  WindowHandle other = AddEditBox(notepad, 16);
  Type("app");
  desktop.SetFocus(other);
  main->Pump();
  AppRule off;
  off.strPath = "C:\\Windows\\notepad.exe";
  off.bWorkOn = 0;
  config.AddAppRule(off);
  config.hLastWindow = 0;
  desktop.SetFocus(edit);
  main->Pump();
  EXPECT_EQ(Engine().m_strInput, "");
  EXPECT_FALSE(PromptShown());
}

TEST_F(Completion, DoubleClickWhileThePromptIsForegroundTypesIntoTheEditWindow) {
  AddWords("words.lib", {{"prompt", ""}, {"promise", ""}});
  Start();
  Type("prom");
  ASSERT_EQ(Rows().size(), 2u);
  // A click makes the prompt the foreground window; its focus events are
  // our own and are not followed.
  desktop.SetFocus(main->Handle());
  main->Pump();
  Engine().OnRowDoubleClick(1);
  main->Pump();
  EXPECT_EQ(Text(), "prompt");
  EXPECT_EQ(desktop.Foreground(), notepad);
}

TEST_F(Completion, LearnedWordsComeFirstAndAreLearnedFromTyping) {
  AddWords("words.lib", {{"zebra", ""}});
  Start();
  Type("zoology, zoo");
  ASSERT_TRUE(PromptShown());
  EXPECT_EQ(Rows().front(), "zoology");
  EXPECT_EQ(Engine().m_nAutoLearnCount, 1);
  EXPECT_EQ(main->rows[0].image, engine::kTypeLearned - 1);
  Tap(kTab);
  EXPECT_EQ(Text(), "zoology, zoology");
}

// A word is learned once for each time it is typed: not again when the
// focus comes back to its window, nor for every key a lookup was late for.
TEST_F(Completion, AWordIsLearnedOncePerTyping) {
  Start();
  Type("florin ");
  for (WindowHandle window : {notepad, edit}) {
    desktop.SetFocus(window);
    main->Pump();
  }
  for (char c : std::string("zeta ")) keyboard.Type(std::string(1, c));
  main->Pump();
  EXPECT_EQ(learn_test::AllRecords(autoLearn), (learn_test::Records{{"florin", 1}, {"zeta", 1}}));
}

TEST_F(Completion, CommonFirstOffersLearnedWordsByUseThenUnrankedThenTheMostCommon) {
  AddWords("english.lib", {{"card", ""}, {"care", ""}, {"carpet", ""}, {"car", ""}});
  AddWords("user.lib", {{"carbon", ""}});
  CDictionary english;
  ASSERT_TRUE(english.Open(Libs("english.lib").c_str()));
  ASSERT_TRUE(english.SetCommonness({{"car", 90}, {"care", 60}, {"card", 60}, {"carpet", 10}}));
  english.Close();
  Start();
  // Learning counts dictionary words as well: "care" twice, "cart" once.
  Type("care, cart, care, ca");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"care", "cart", "carbon", "car", "card"}));
  EXPECT_EQ(Engine().m_nAutoLearnCount, 2);
  Tap(kPageDown);  // no row twice; the typed text itself is never a row
  EXPECT_EQ(Rows(), (std::vector<std::string>{"carpet"}));
  Type("r");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"care", "cart", "carbon", "card", "carpet"}));
  // The option off: learned words in file order, dictionaries by key.
  config.bCommonFirst = 0;
  Type("\b");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"care", "cart", "car", "carbon", "card"}));
}

TEST_F(Completion, WordsNearAMistypedOneFollowTheMatches) {
  AddWords("words.lib", {{"receive", ""}, {"address", ""}, {"definitely", ""}, {"caf\xe9", ""}, {"apple", ""}});
  AddShorthands("short.lib", {{"brb", "be right back"}});
  Start();
  auto rowsFor = [&](const char* typed) {
    Engine().m_strInput = typed;
    Engine().OnInputChanged();
    return PromptShown() ? Rows() : std::vector<std::string>{};
  };
  const struct {
    const char* typed;
    std::vector<std::string> rows;
  } cases[] = {
      {"recwi", {"receive"}},        // replaced, while still typing
      {"recie", {"receive"}},        // swapped
      {"adress", {"address"}},       // missing
      {"addrress", {"address"}},     // extra
      {"definatly", {"definitely"}}, // two edits from seven letters on
      {"Adress", {"Address"}},       // the typed capital carried over
      {"cafe", {"caf\xe9"}},         // the accent folded
      {"xpp", {"apple"}},
      {"xp", {}},                    // nothing under three letters
      {"brv", {}},                   // shorthands are not corrected
      {"apl", {"apple"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(rowsFor(c.typed), c.rows);
  }
  // A correction has its own image, shows the word and replaces all typed.
  Engine().m_strInput.clear();
  Type("recie");
  ASSERT_EQ(main->rows.size(), 1u);
  EXPECT_EQ(main->rows[0].image, engine::kTypeCorrection - 1);
  EXPECT_EQ(main->previewText, "receive");
  Tap(kTab);
  EXPECT_EQ(Text(), "receive");
  config.bFixTypos = 0;
  EXPECT_EQ(rowsFor("adress"), std::vector<std::string>{});

  dicttest::CodePageScope gbk(936);
  if (!gbk.ok()) GTEST_SKIP() << "code page 936 is not this system's code page";
  AddWords("chinese.lib", {{"\xc4\xe3\xba\xc3\xc2\xf0", ""}});
  dictSet.LoadAll((dir.path().string() + "/libs/*.lib").c_str(), false);
  config.bFixTypos = 1;
  // Characters, not bytes: the last one replaced whole is one edit, and two
  // characters (four bytes) are too few to correct.
  EXPECT_EQ(rowsFor("\xc4\xe3\xba\xc3\xc2\xf1"), std::vector<std::string>{"\xc4\xe3\xba\xc3\xc2\xf0"});
  EXPECT_EQ(rowsFor("\xc4\xe3\xba\xc4"), std::vector<std::string>{});
}

TEST_F(Completion, NothingIsFollowedInPasswordBoxes) {
  AddWords("words.lib", {{"secret", ""}});
  Start();
  WindowHandle password = AddEditBox(notepad, 17, true);
  desktop.SetFocus(password);
  main->Pump();
  Type("secr, ");
  EXPECT_FALSE(PromptShown());
  EXPECT_EQ(Engine().m_strInput, "");
  EXPECT_EQ(autoLearn.GetRecordCount(), 0);
  EXPECT_EQ(desktop.Text(password), "secr, ");
}

TEST_F(Completion, WithoutCaretEventsThePromptStillFindsTheCaret) {
  // Wine sends no caret events; the system's GUI-thread information tells.
  desktop.SetCaretEvents(false);
  AddWords("words.lib", {{"caret", ""}});
  Start();
  Type("car");
  ASSERT_TRUE(PromptShown());
  platform::sim::SimRect caret;
  ASSERT_TRUE(desktop.CaretRect(edit, caret));
  EXPECT_EQ(main->position.x, caret.right);
  EXPECT_EQ(main->position.y, caret.bottom + 5);
}

TEST_F(Completion, AnInputMethodKeepsThePromptHidden) {
  AddWords("words.lib", {{"kana", ""}});
  Start();
  desktop.SetImeActive(true);
  Type("ka");
  EXPECT_FALSE(PromptShown());
  EXPECT_FALSE(Engine().m_aCandidates.empty());
}

TEST_F(Completion, SameKeyInTwoDictionariesJoinsBothRemarksWhole) {
  AddWords("a.lib", {{"merge", "first remark"}});
  AddWords("b.lib", {{"merge", "second remark"}});
  Start();
  Type("mer");
  ASSERT_EQ(Rows(), (std::vector<std::string>{"merge"}));
  // The later dictionary comes first; each remark carries its caption
  // header, and neither loses a byte.
  const std::string data(Engine().m_aCandidates[0].Data());
  size_t second = data.find("second remark\r\n\r\n");
  ASSERT_NE(second, std::string::npos) << data;
  EXPECT_LT(second, data.find("first remark"));
  EXPECT_EQ(data.substr(data.size() - 12), "first remark");
  EXPECT_EQ(Engine().m_aCandidates[0].dataLength, static_cast<int32_t>(data.size()));
}

}  // namespace
}  // namespace enginetest
