// The dictionary dialogs' models: the manager's sorted rows and check states,
// the editor's listing, buttons, edits and closing rules, and the New
// Dictionary file name.
#include "dict/DictDialogs.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "DictTestUtil.h"

namespace {

using namespace dicttest;

TEST(DictManager, ListsEveryFileByCaptionAndStoresChecksOnlyOnOk) {
  ScratchDir dir;
  ASSERT_TRUE(MakeDictionary(dir.File("1.lib"), DICT_TYPE_WORDS, {{"x", ""}}, "c"));
  ASSERT_TRUE(MakeDictionary(dir.File("2.lib"), DICT_TYPE_SHORTHAND, {{"y", "z"}}, "a"));
  ASSERT_TRUE(MakeDictionary(dir.File("3.lib"), 7, {{"w", ""}}, "B"));
  std::map<std::string, bool> stored = {{dir.File("2.lib"), false}};
  CDictManagerModel manager(
      [&](const std::string& path) { return stored.count(path) ? stored[path] : true; },
      [&](const std::string& path, bool on) { stored[path] = on; });
  manager.Fill(dir.File("*.lib"));
  ASSERT_EQ(manager.Rows().size(), 3u);
  EXPECT_EQ(manager.Rows()[0].caption, "a");
  EXPECT_EQ(manager.Rows()[1].caption, "B");
  EXPECT_EQ(manager.Rows()[2].caption, "c");
  EXPECT_EQ(manager.Rows()[0].typeText, "Shorthand");
  EXPECT_EQ(manager.Rows()[1].typeText, "");  // neither type
  EXPECT_EQ(manager.Rows()[2].typeText, "Dictionary");
  EXPECT_FALSE(manager.Rows()[0].checked);  // a disabled file is listed too
  EXPECT_TRUE(manager.Rows()[2].checked);

  manager.SetChecked(2, false);
  EXPECT_EQ(stored.count(dir.File("1.lib")), 0u);  // nothing before OK
  manager.StoreChecks();
  EXPECT_FALSE(stored[dir.File("1.lib")]);
  EXPECT_TRUE(stored[dir.File("3.lib")]);
}

class DictEditor : public ::testing::Test {
 protected:
  void Make(int type, int entries, int scrambled = 0) {
    std::vector<Entry> items;
    for (int i = 0; i < entries; ++i) items.push_back({"k" + std::to_string(1000 + i), "d"});
    items.push_back({"btw", "by the way"});
    ASSERT_TRUE(MakeDictionary(path, type, items, "", scrambled));
    ASSERT_TRUE(editor.Open(path));
  }
  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (const auto& row : editor.Rows()) keys.push_back(row.key);
    return keys;
  }
  ScratchDir dir;
  std::string path = dir.File("e.lib");
  CDictEditorModel editor{"\\Libs\\UserDictionary.lib", "\\Libs\\UserShortHands.lib"};
};

TEST_F(DictEditor, QueryListsFromTheTextsPosition) {
  Make(DICT_TYPE_WORDS, 1200);
  editor.Query("");
  EXPECT_EQ(editor.Rows().size(), 1201u);
  EXPECT_EQ(editor.Dictionary().GetItemCount(), 1201);
  editor.Query("k1199");  // an existing key: it and the keys that begin with it
  EXPECT_EQ(Keys(), (std::vector<std::string>{"k1199"}));
  editor.Query("k219");  // only the beginning of a key: it and everything after
  ASSERT_FALSE(editor.Rows().empty());
  EXPECT_EQ(editor.Rows().front().key, "k2190");
  EXPECT_EQ(editor.Rows().back().key, "k2199");
  editor.Query("", [](std::int32_t done, std::int32_t) { return done < 10; });  // cancelled
  EXPECT_EQ(editor.Rows().size(), 10u);
}

TEST_F(DictEditor, AddRefusesAKeyInAnyLetterCaseInBothTypes) {
  for (int type : {DICT_TYPE_WORDS, DICT_TYPE_SHORTHAND}) {
    ScratchDir own;
    path = own.File("t.lib");
    CDictEditorModel model{"\\Libs\\UserDictionary.lib", "\\Libs\\UserShortHands.lib"};
    ASSERT_TRUE(MakeDictionary(path, type, {{"btw", "by the way"}}));
    ASSERT_TRUE(model.Open(path));
    EXPECT_EQ(model.Add("Btw", "x"), CDictEditorModel::AddResult::kExists) << type;
    EXPECT_EQ(model.Add("bt", "x"), CDictEditorModel::AddResult::kAdded) << type;
    EXPECT_EQ(model.Dictionary().GetItemCount(), 2);
  }
}

TEST_F(DictEditor, ButtonsFollowTheEditsAndTheSelection) {
  Make(DICT_TYPE_SHORTHAND, 0);
  EXPECT_FALSE(editor.ButtonStates().add);
  EXPECT_TRUE(editor.ButtonStates().import);
  EXPECT_TRUE(editor.ButtonStates().miscKey);
  editor.OnSelection(1, "btw", "by the way");
  EXPECT_TRUE(editor.ButtonStates().del);
  editor.OnDataEdited("by the way!");
  EXPECT_TRUE(editor.ButtonStates().save);
  EXPECT_FALSE(editor.ButtonStates().add);
  editor.OnKeyEdited("btx");
  EXPECT_TRUE(editor.ButtonStates().add);
  EXPECT_FALSE(editor.ButtonStates().save);
  editor.OnKeyEdited("btw");
  EXPECT_FALSE(editor.ButtonStates().add);
  editor.OnKeyEdited("");
  EXPECT_FALSE(editor.ButtonStates().add);
  EXPECT_FALSE(editor.ButtonStates().save);
  editor.OnDataEdited("by the way");
  EXPECT_FALSE(editor.ButtonStates().save);
  editor.Query("");
  EXPECT_FALSE(editor.ButtonStates().del);  // a new listing has no selection
}

TEST_F(DictEditor, SaveAndDeleteReachTheFile) {
  Make(DICT_TYPE_WORDS, 5, 1);  // scrambled: listed by key all the same
  ASSERT_TRUE(editor.Save("btw", "between"));
  EXPECT_FALSE(editor.Save("nothere", "x"));
  ASSERT_TRUE(editor.Delete({"k1000", "", "k1002", "k1004"}));
  editor.Query("");
  EXPECT_EQ(Keys(), (std::vector<std::string>{"btw", "k1001", "k1003"}));
  EXPECT_EQ(editor.Rows()[0].data, "between");
  editor.Query("BT");
  EXPECT_EQ(editor.Rows()[0].key, "btw");  // as stored, whatever the query's case
}

TEST_F(DictEditor, TheUserFilesKeepTheirTypeAndEditing) {
  ScratchDir own;
  std::filesystem::create_directories(own.path() / "x\\Libs");
  // On Windows the folder is ...\Libs\UserShortHands.lib; here the ending is
  // part of the file name, which is all the rule looks at.
  const std::string user = own.File("x\\Libs\\UserShortHands.lib");
  ASSERT_TRUE(MakeDictionary(user, DICT_TYPE_WORDS, {}));
  {
    CDictEditorModel model{"\\Libs\\UserDictionary.lib", "\\Libs\\UserShortHands.lib"};
    ASSERT_TRUE(model.Open(user));
    model.Dictionary().SetEditFlags(0);
    model.StoreForcedOnly();  // Cancel
  }
  CDictionary reopened;
  ASSERT_TRUE(reopened.Open(user.c_str()));
  EXPECT_EQ(reopened.GetType(), DICT_TYPE_SHORTHAND);
  EXPECT_EQ(reopened.GetEditFlags() & DICT_EDIT_ALLOWED, DICT_EDIT_ALLOWED);
  reopened.Close();

  Make(DICT_TYPE_WORDS, 0);
  editor.StoreAttributes(DICT_TYPE_SHORTHAND, "about", "Mine", false);  // OK on another file
  EXPECT_EQ(editor.Dictionary().GetType(), DICT_TYPE_SHORTHAND);
  EXPECT_FALSE(editor.EditAllowed());
  EXPECT_EQ(editor.Dictionary().GetCaption(), "Mine");
}

TEST(NewDictionary, PathAndNameChecks) {
  EXPECT_EQ(NewDictionaryPath("C:\\Quillet\\", "Med"), "C:\\Quillet\\libs\\Med.lib");
  auto exists = [](const std::string& path) { return path == "C:\\Q\\libs\\Taken.lib"; };
  struct Case {
    const char* name;
    NewNameProblem problem;
  } cases[] = {
      {"Med", NewNameProblem::kNone},     {"", NewNameProblem::kEmpty},
      {"   ", NewNameProblem::kEmpty},    {"a/b", NewNameProblem::kBadCharacter},
      {"a?", NewNameProblem::kBadCharacter}, {"end.", NewNameProblem::kBadCharacter},
      {"Taken", NewNameProblem::kExists},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckNewDictionaryName(c.name, exists, NewDictionaryPath("C:\\Q\\", c.name)), c.problem) << c.name;
}

}  // namespace
