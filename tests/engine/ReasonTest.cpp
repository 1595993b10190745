// Why there is a prompt, or none: each cause the engine tells, found through
// the simulated desktop, and "on" again once the cause is gone.
#include <functional>

#include "EngineHarness.h"

namespace enginetest {
namespace {

class Reason : public EngineTest {
 protected:
  Reason() { processes.AddProcess(200, "C:\\Tools\\calc.exe"); }
  // The focus moves to another application's window and on into `window`.
  void Enter(WindowHandle window) {
    desktop.SetFocus(other);
    main->Pump();
    desktop.SetFocus(window);
    main->Pump();
  }
  std::string Why() const { return main->Engine().Reason().Text(); }
  void AddRule(const std::string& path, const std::string& editId) {
    config.AddAppRule({"", "", path, editId, 0});
  }
  WindowHandle other = desktop.AddWindow("Calc", 0, 0, 200);
};

TEST_F(Reason, EachCauseIsToldAndOnComesBackWhenItGoes) {
  const struct {
    std::function<void()> cause, undo;
    const char* why;
  } kTable[] = {
      {[this] { main->ToggleEngine(); }, [this] { main->ToggleEngine(); }, "Quillet is off - Ctrl+F5 switches it on"},
      {[this] { AddRule("c:\\windows\\NOTEPAD.EXE", ""); Enter(edit); },
       [this] { config.appRules.clear(); Enter(edit); }, "Off in notepad.exe - see Application Manager"},
      {[this] { config.bOtherAppsWork = 0; Enter(edit); }, [this] { config.bOtherAppsWork = 1; Enter(edit); },
       "Off in applications without a rule - see Application Manager"},
      {[this] { AddRule("", "Edit#15"); Enter(edit); }, [this] { config.appRules.clear(); Enter(edit); },
       "Off in this edit box - see Edit Manager"},
      {[this] { Enter(AddEditBox(notepad, 16, true)); }, [this] { Enter(edit); }, "Off in password boxes"},
      {[this] { desktop.FocusMenu(notepad); main->Pump(); }, [this] { Enter(edit); },
       "No typing window has the focus"},
      {[this] { Enter(desktop.AddWindow("Button", 2, notepad, 100)); }, [this] { Enter(edit); },
       "No caret found in this window"},
      {[this] { desktop.SetImeActive(true); Enter(edit); }, [this] { desktop.SetImeActive(false); Enter(edit); },
       "Off while an input method is active"},
      {[this] { desktop.SetHigherRights(100, true); Enter(edit); },
       [this] { desktop.SetHigherRights(100, false); Enter(edit); },
       "This window runs with higher rights than Quillet"},
  };
  Start();
  EXPECT_EQ(Why(), "Quillet is on");
  for (const auto& row : kTable) {
    row.cause();
    EXPECT_EQ(Why(), row.why);
    row.undo();
    EXPECT_EQ(Why(), "Quillet is on") << "after: " << row.why;
  }
}

// Keys keep the reason up to date between focus changes, and tell the main
// window only when it changes.
TEST_F(Reason, KeysUpdateItAndOnlyAChangeIsReported) {
  AddWords("words.lib", {{"apple", ""}});
  Start();
  const int changes = main->reasonChanges;
  Type("xyz ");
  EXPECT_EQ(main->reasonChanges, changes);
  AddRule("", "Edit#15");
  Type("a");
  EXPECT_EQ(Why(), "Off in this edit box - see Edit Manager");
  config.appRules.clear();
  desktop.SetImeActive(true);
  Type("a");  // on again, and the prompt would show: the input method is found
  EXPECT_EQ(Why(), "Off while an input method is active");
  EXPECT_EQ(main->reasonChanges, changes + 3);
}

TEST_F(Reason, NamesAndTipsAreCutBetweenCharacters) {
  dicttest::CodePageScope sjis(932);
  if (!sjis.ok()) GTEST_SKIP() << "code page 932 is not available";
  // 0x95 0x5C is one character whose trail byte is a backslash.
  EXPECT_EQ(engine::ExecutableName("C:\\\x95\x5C\\\x95\x5C.exe"), "\x95\x5C.exe");
  EXPECT_EQ(engine::CutText("ab\x95\x5C", 3), "ab");
  EXPECT_EQ(engine::CutText("ab\x95\x5C", 4), "ab\x95\x5C");
}

}  // namespace
}  // namespace enginetest
