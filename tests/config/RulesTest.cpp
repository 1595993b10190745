// Application and edit-box rules: loading, saving, the list operations, both
// decisions and the rule dialogs' models, on a simulated desktop.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/Config.h"
#include "config/IniFile.h"
#include "config/RuleLists.h"
#include "TestFiles.h"

namespace {

using configtest::ReadFile;
using configtest::WriteFile;
using platform::WindowHandle;
using platform::sim::SimDesktop;
using Names = std::vector<std::string>;

// An application rule for `path`, or with an empty path an edit-box rule for `editId`.
AppRule Rule(const std::string& path, int workOn, const std::string& section = "",
             const std::string& editId = "") {
  AppRule r;
  r.strSection = section;
  r.strCaption = path.empty() ? "" : "caption of " + path;
  r.strPath = path;
  r.strEditId = editId;
  r.bWorkOn = workOn;
  return r;
}

Names Sections(const std::vector<AppRule>& rules) {
  Names out;
  for (const AppRule& r : rules) out.push_back(r.strSection);
  return out;
}

class RulesTest : public configtest::ConfigFixture {
 protected:
  std::string AppIni() const { return dir.File("AppConfig.ini"); }
};

// ---- loading and saving -------------------------------------------------------

TEST_F(RulesTest, LoadMakesEverySectionButOtherAppsARuleInFileOrder) {
  config.bOtherAppsWork = 0;
  config.appRules.push_back(Rule("x", 1, "APP1"));
  EXPECT_EQ(config.LoadAppRules(), 1);
  EXPECT_TRUE(config.appRules.empty());
  EXPECT_TRUE(config.appRulesSaved.empty());
  EXPECT_EQ(config.bOtherAppsWork, 1);
  WriteFile(AppIni(),
             "[Zeta]\r\nPATH=C:\\z.exe\r\nWORK_ON_QL=0\r\n"
             "[other_apps]\r\nWORK_ON_QL=0\r\n"
             "[APP2]\r\nCAPTION=Notes\r\nEDIT_ID=Edit#15\r\n"
             "[Empty]\r\n");
  config.LoadAppRules();
  EXPECT_EQ(config.bOtherAppsWork, 0);
  ASSERT_EQ(Sections(config.appRules), (Names{"Zeta", "APP2", "Empty"}));
  EXPECT_EQ(config.appRules[0], (AppRule{"Zeta", "", "C:\\z.exe", "", 0, 0}));
  EXPECT_EQ(config.appRules[1], (AppRule{"APP2", "Notes", "", "Edit#15", 1, 0}));
  EXPECT_EQ(config.appRules[2], (AppRule{"Empty", "", "", "", 1, 0}));
  EXPECT_EQ(config.appRulesSaved, config.appRules);
}

TEST_F(RulesTest, SaveWritesOtherAppsFirstThenEachRuleInListOrder) {
  config.AddAppRule(Rule("C:\\a.exe", 0));
  config.AddAppRule(Rule("", 1, "", "Edit#3"));
  config.bOtherAppsWork = 0;
  EXPECT_EQ(config.SaveAppRules(), 1);
  EXPECT_EQ(ReadFile(AppIni()),
            "[Other_Apps]\r\nWORK_ON_QL=0\r\n"
            "[APP1]\r\nCAPTION=caption of C:\\a.exe\r\nPATH=C:\\a.exe\r\nEDIT_ID=\r\nWORK_ON_QL=0\r\n"
            "[APP2]\r\nCAPTION=\r\nPATH=\r\nEDIT_ID=Edit#3\r\nWORK_ON_QL=1\r\n");
  reread.LoadAppRules();
  EXPECT_EQ(reread.appRules, config.appRules);
  EXPECT_EQ(reread.bOtherAppsWork, 0);
}

TEST_F(RulesTest, DamagedRuleFileLoadsWhatItCan) {
  WriteFile(AppIni(), configtest::Junk(1000, 97, 5) +
                           "\n[APP1]\nPATH=C:\\ok.exe\nno equals here\n"
                           "[APP1]\nPATH=C:\\dup.exe\n[APP5\n" +
                           std::string(100000, 'p') + "\r[Other_Apps]\rWORK_ON_QL=banana\r");
  config.LoadAppRules();
  EXPECT_EQ(config.bOtherAppsWork, 0);
  // Both APP1 sections become rules; each reads the first one's keys.
  Names app1Paths;
  for (const AppRule& r : config.appRules)
    if (r.strSection == "APP1") app1Paths.push_back(r.strPath);
  EXPECT_EQ(app1Paths, (Names{"C:\\ok.exe", "C:\\ok.exe"}));
}

// ---- list operations ----------------------------------------------------------------

TEST_F(RulesTest, AddRefusesARuleWithNeitherPathNorEditIdAndNumbersNewSections) {
  EXPECT_EQ(config.AddAppRule(AppRule{}), -1);
  EXPECT_TRUE(config.appRules.empty());
  EXPECT_EQ(config.AddAppRule(Rule("a", 1)), 0);
  EXPECT_EQ(config.AddAppRule(Rule("", 1, "Mine", "E#1")), 1);
  EXPECT_EQ(Sections(config.appRules), (Names{"APP1", "Mine"}));
  // A new section name follows the largest number.
  config.appRules.clear();
  WriteFile(AppIni(), "[APP7]\r\nPATH=a\r\n");
  EXPECT_EQ(config.NewSectionName(), "APP8");  // an empty list loads the file first
  config.appRules = {Rule("a", 1, "APP1"), Rule("b", 1, "APP3"), Rule("c", 1, "APP10"),
                     Rule("d", 1, "XYZ"), Rule("e", 1, "Q7z")};
  EXPECT_EQ(config.NewSectionName(), "APP11");
  std::remove(AppIni().c_str());
  config.appRules.clear();
  EXPECT_EQ(config.NewSectionName(), "APP1");
}

TEST_F(RulesTest, UpdateAndDeleteMatchTheSectionExactlyAndMoveTheRuleToTheEnd) {
  config.appRules = {Rule("a", 1, "APP1"), Rule("b", 1, "APP2")};
  EXPECT_EQ(config.UpdateAppRule(Rule("z", 0, "app1")), 0);
  EXPECT_EQ(config.appRules.size(), 2u);
  EXPECT_EQ(config.UpdateAppRule(Rule("z", 0, "APP1")), 1);
  EXPECT_EQ(Sections(config.appRules), (Names{"APP2", "APP1"}));
  EXPECT_EQ(config.appRules[1].strPath, "z");
  EXPECT_EQ(config.DeleteAppRule("app2"), 0);
  EXPECT_EQ(config.DeleteAppRule(nullptr), 0);
  // A deleted rule stays in the list, marked, until the next load.
  EXPECT_EQ(config.DeleteAppRule("APP2"), 1);
  EXPECT_EQ(Sections(config.appRules), (Names{"APP1", "APP2"}));
  EXPECT_EQ(config.appRules[1].bDeleted, 1);
}

// ---- application decision -------------------------------------------------------------

class DecisionTest : public RulesTest {
 protected:
  DecisionTest() {
    processes.AddProcess(100, "C:\\Apps\\Editor.exe");
    processes.AddProcess(200, "C:\\Apps\\Game.exe");
    editor = desktop.AddWindow("EditorFrame", 0, 0, 100);
    game = desktop.AddWindow("GameWindow", 0, 0, 200);
    orphan = desktop.AddWindow("Orphan", 0, 0, 999);
  }
  WindowHandle editor = 0, game = 0, orphan = 0;
};

TEST_F(DecisionTest, PathMatchesWithoutRegardToCaseTheFirstRuleDecidesOthersFollowTheDefault) {
  config.AddAppRule(Rule("c:\\apps\\EDITOR.EXE", 0));
  config.AddAppRule(Rule("C:\\Apps\\Editor.exe", 1));
  EXPECT_FALSE(config.IsWorkOnWindow(editor));
  EXPECT_TRUE(config.IsWorkOnWindow(game));
  // Unnamed applications follow the default whatever the edit-box rules.
  config.AddAppRule(Rule("", 1, "", "GameWindow#0"));
  config.bOtherAppsWork = 0;
  EXPECT_FALSE(config.IsWorkOnWindow(editor));
  EXPECT_FALSE(config.IsWorkOnWindow(game));
}

TEST_F(DecisionTest, SameWindowAgainReusesTheAnswerWithoutListingProcesses) {
  EXPECT_TRUE(config.IsWorkOnWindow(editor));
  EXPECT_EQ(processes.listCount(), 1);
  config.AddAppRule(Rule("C:\\Apps\\Editor.exe", 0));
  EXPECT_TRUE(config.IsWorkOnWindow(editor));  // new rules wait for another window
  EXPECT_EQ(processes.listCount(), 1);
  config.IsWorkOnWindow(game);
  EXPECT_EQ(processes.listCount(), 2);
  EXPECT_FALSE(config.IsWorkOnWindow(editor));
}

TEST_F(DecisionTest, WindowWithoutAPathKeepsThePreviousAnswer) {
  config.AddAppRule(Rule("C:\\Apps\\Game.exe", 0));
  EXPECT_FALSE(config.IsWorkOnWindow(game));
  EXPECT_FALSE(config.IsWorkOnWindow(orphan));
  EXPECT_EQ(config.hLastWindow, orphan);
  EXPECT_TRUE(config.IsWorkOnWindow(editor));
  EXPECT_TRUE(config.IsWorkOnWindow(orphan));
  // When the processes cannot be listed at all, the same holds.
  processes.SetFailing(true);
  EXPECT_TRUE(config.IsWorkOnWindow(game));
}

// ---- edit-box decision ---------------------------------------------------------------

TEST_F(RulesTest, EditBoxIdIsClassHashControlIdAndTheNearestListedAncestorDecides) {
  EXPECT_EQ(config.EditBoxId(desktop.AddWindow("RichEdit20A", -12)), "RichEdit20A#-12");
  EXPECT_EQ(config.EditBoxId(0), "");
  WindowHandle longName = desktop.AddWindow(std::string(300, 'c'), 5);
  EXPECT_EQ(config.EditBoxId(longName), std::string(255, 'c') + "#5");
  WindowHandle frame = desktop.AddWindow("#32770", 0);
  WindowHandle group = desktop.AddWindow("Button", 1000, frame);
  WindowHandle edit = desktop.AddWindow("Edit", 1001, group);
  WindowHandle listed = desktop.AddWindow("Edit", 1002, group);
  // An application rule's empty identifier matches neither "no window" nor a
  // destroyed one.
  config.AddAppRule(Rule("C:\\any.exe", 1));
  EXPECT_EQ(config.EditBoxRule(edit), -1);
  EXPECT_EQ(config.EditBoxRule(0), -1);
  desktop.DestroyWindow(longName);
  EXPECT_EQ(config.EditBoxRule(longName), -1);
  config.AddAppRule(Rule("", 0, "", "#32770#0"));
  config.AddAppRule(Rule("", 1, "", "EDIT#1002"));
  EXPECT_EQ(config.EditBoxRule(edit), 0);
  EXPECT_EQ(config.EditBoxRule(listed), 1);
  config.AddAppRule(Rule("", 1, "", "button#1000"));
  EXPECT_EQ(config.EditBoxRule(edit), 1);
}

TEST_F(RulesTest, ParentLoopEnds) {
  // A broken desktop whose parent chain loops must not hang the decision.
  SimDesktop looped;
  WindowHandle probe = looped.AddWindow("P");
  looped.DestroyWindow(probe);
  // Handles are handed out in steps of 4: the next two follow `probe`.
  WindowHandle again = looped.AddWindow("X", 1, probe + 8);
  WindowHandle third = looped.AddWindow("Z", 3, again);
  ASSERT_EQ(looped.WindowParent(looped.WindowParent(third)), third);
  CConfig loopConfig(looped, processes);
  loopConfig.appRules.push_back(Rule("", 1, "APP1", "Q#9"));
  EXPECT_EQ(loopConfig.EditBoxRule(third), -1);
}

// ---- the rule dialogs' models ----------------------------------------------------------

class RuleLists : public RulesTest {
 protected:
  RuleLists() {
    WriteFile(AppIni(),
               "[Other_Apps]\r\nWORK_ON_QL=0\r\n"
               "[APP1]\r\nCAPTION=Pad\r\nPATH=C:\\pad.exe\r\nWORK_ON_QL=0\r\n"
               "[APP2]\r\nCAPTION=Term\r\nPATH=C:\\term.exe\r\nWORK_ON_QL=1\r\n"
               "[APP3]\r\nCAPTION=Box\r\nEDIT_ID=Edit#1001\r\nWORK_ON_QL=0\r\n"
               "[APP4]\r\nCAPTION=Game\r\nPATH=C:\\game.exe\r\nWORK_ON_QL=0\r\n");
    config.LoadAppRules();
    before = ReadFile(AppIni());
  }
  Names Captions(const CRuleListModel& list) const {
    Names out;
    for (std::size_t i : list.Shown()) out.push_back(config.appRules[i].strCaption);
    return out;
  }
  CRuleListModel apps{config, CRuleListModel::Kind::kApplications};
  CRuleListModel boxes{config, CRuleListModel::Kind::kEditBoxes};
  std::string before;
};

TEST_F(RuleLists, EditsShowInTheirOwnListAndCancelUndoesThem) {
  EXPECT_EQ(Captions(apps), (Names{"Pad", "Term", "Game"}));
  EXPECT_EQ(Captions(boxes), (Names{"Box"}));
  apps.Delete({0, 2});  // Pad and Game, exactly
  EXPECT_EQ(Captions(apps), (Names{"Term"}));
  ASSERT_TRUE(apps.Add(Rule("C:\\new.exe", 1)));
  EXPECT_EQ(Captions(apps), (Names{"Term", "caption of C:\\new.exe"}));  // the deleted stay gone
  // A rule edited to an empty path leaves the application list.
  AppRule term = config.appRules[apps.Shown()[0]];
  term.strPath.clear();
  ASSERT_TRUE(apps.Update(term));
  EXPECT_EQ(Captions(apps), (Names{"caption of C:\\new.exe"}));
  EXPECT_FALSE(boxes.Add(AppRule{}));  // Add + OK without the finder adds nothing
  apps.Cancel();
  EXPECT_EQ(config.appRules, config.appRulesSaved);
  EXPECT_EQ(Captions(apps), (Names{"Pad", "Term", "Game"}));
  EXPECT_EQ(ReadFile(AppIni()), before);
}

TEST_F(RuleLists, OkWritesTheRulesAndKeepsOtherApplicationsOff) {
  processes.AddProcess(100, "C:\\term.exe");
  const WindowHandle term = desktop.AddWindow("TermFrame", 0, 0, 100);
  EXPECT_TRUE(config.IsWorkOnWindow(term));
  apps.Delete({1});
  apps.Ok();
  EXPECT_EQ(config.bOtherAppsWork, 0);
  EXPECT_EQ(Captions(apps), (Names{"Pad", "Game"}));
  EXPECT_FALSE(config.IsWorkOnWindow(term));  // the window in front follows at once
}

TEST(AppOption, CaptionFollowsTheChosenFileUntilTyped) {
  CAppOptionModel option{AppRule{}};
  option.ChoosePath("C:\\a\\pad.exe", "pad.exe");
  EXPECT_EQ(option.strCaption, "pad.exe");
  option.ChoosePath("C:\\b\\term.exe", "term.exe");  // untouched: follows again
  EXPECT_EQ(option.strCaption, "term.exe");
  option.strCaption = "My terminal";
  option.ChoosePath("C:\\c\\game.exe", "game.exe");  // typed: kept
  EXPECT_EQ(option.Result().strPath, "C:\\c\\game.exe");
  EXPECT_EQ(option.Result().strCaption, "My terminal");
}

TEST(EditBoxFinder, RefreshesOnlyWhenTheWindowChanges) {
  CEditBoxFinder finder;
  EXPECT_FALSE(finder.MoveOver(0x10, true));  // over the finder icon itself
  EXPECT_TRUE(finder.MoveOver(0x10, false));
  EXPECT_FALSE(finder.MoveOver(0x10, false));  // within one window
  EXPECT_TRUE(finder.MoveOver(0x20, false));
  EXPECT_EQ(finder.Target(), 0x20u);
  EXPECT_EQ(EditBoxCaption(""), "Edit1");
  EXPECT_EQ(EditBoxCaption("Search"), "Search");
}

}  // namespace
