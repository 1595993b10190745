// CDictionary: opening, attributes, changing entries, searching, encodings,
// scrambled dictionaries, files written by Metakit, and files we must not
// touch.
#include "dict/Dictionary.h"

#include <gtest/gtest.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DictTestUtil.h"

namespace {

using namespace dicttest;
using ::testing::ElementsAre;
using Keys_ = std::vector<std::string>;

// The bytes of every key as the storage holds them.
std::vector<std::string> StoredKeys(const std::string& path) {
  std::vector<std::string> keys;
  CLibFileStrategy strategy;
  if (!strategy.DataOpen(path.c_str(), 0)) return keys;
  c4_Storage storage(strategy, false, 0);
  c4_View data = storage.View("DBDATA");
  c4_StringProp key("key");
  for (int i = 0; i < data.GetSize(); ++i) keys.emplace_back(static_cast<const char*>(key(data[i])));
  return keys;
}

// Writes raw attribute rows the way another program might have.
void WriteInfoRows(const std::string& path, const std::vector<std::pair<std::string, std::string>>& rows) {
  CLibFileStrategy strategy;
  ASSERT_TRUE(strategy.DataOpen(path.c_str(), 1));
  c4_Storage storage(strategy, false, 1);
  c4_View info = storage.GetAs("DBINFO[prop:S,value:S]");
  c4_StringProp prop("prop");
  c4_StringProp value("value");
  for (const auto& [name, text] : rows) info.Add(prop[name.c_str()] + value[text.c_str()]);
  ASSERT_TRUE(storage.Commit(false));
}

// --- Opening and attributes ----------------------------------------------------

TEST(OpenAndInfo, NewFileOpensEmptyWithDefaultsAndBadPathsAreRefused) {
  ScratchDir dir;
  const std::string path = dir.File("new.lib");
  CDictionary dictionary;
  EXPECT_EQ(dictionary.GetCaption(), "UNKNOWN DICTIONARY");
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_TRUE(dictionary.IsOpen());
  EXPECT_EQ(dictionary.GetItemCount(), 0);
  EXPECT_EQ(dictionary.GetType(), DICT_TYPE_WORDS);
  EXPECT_EQ(dictionary.GetKeyCode(), DICT_CODE_ANSI);
  EXPECT_EQ(dictionary.GetEditFlags(), DICT_EDIT_ALLOWED);
  EXPECT_EQ(dictionary.GetScrambled(), 0);
  EXPECT_EQ(dictionary.GetCaption(), "new.lib");
  EXPECT_EQ(dictionary.GetPath(), path);
  EXPECT_TRUE(fs::exists(path));
  for (const std::string& bad : {std::string(), dir.File("no-such-folder/x.lib"), dir.path().string()}) {
    EXPECT_FALSE(dictionary.Open(bad.c_str())) << bad;
    EXPECT_FALSE(dictionary.IsOpen());
  }
  EXPECT_FALSE(dictionary.Open(nullptr));
  EXPECT_FALSE(fs::exists(dir.File("no-such-folder")));
}

TEST(OpenAndInfo, AttributesSurviveSaveAndReopen) {
  ScratchDir dir;
  const std::string path = dir.File("info.lib");
  {
    CDictionary dictionary;
    ASSERT_TRUE(dictionary.Open(path.c_str()));
    dictionary.SetType(DICT_TYPE_SHORTHAND);
    dictionary.SetEditFlags(6);  // other bits are kept as they are
    dictionary.SetCaption("My words, and more", 8);
    dictionary.SetDescription("line one\r\nline two", 18);
    ASSERT_TRUE(dictionary.SaveInfo());
    ASSERT_TRUE(dictionary.SaveInfo());  // rows are replaced, not added again
  }
  const std::string written = ReadFile(path);  // attributes only, no entries view
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_TRUE(Keys(dictionary, "", DICT_MATCH_ALL).empty());
  EXPECT_EQ(dictionary.GetType(), DICT_TYPE_SHORTHAND);
  EXPECT_EQ(dictionary.GetEditFlags(), 6);
  EXPECT_EQ(dictionary.GetCaption(), "My words");
  EXPECT_EQ(dictionary.GetDescription(), "line one\r\nline two");
  EXPECT_EQ(dictionary.GetCaptionHeader(), 0);  // shorthand results carry no header
  dictionary.Close();
  EXPECT_EQ(ReadFile(path), written);  // reading never writes
}

TEST(OpenAndInfo, StoredAttributesReadLikeAtoiWithDefaultsForWhatIsMissing) {
  const struct {
    const char* fixture;  // or the rows below
    std::vector<std::pair<std::string, std::string>> rows;
    int type, editFlags, keyCode, scrambled;
    const char* caption;
  } cases[] = {
      {"data_only.lib", {}, DICT_TYPE_WORDS, DICT_EDIT_ALLOWED, DICT_CODE_ANSI, 0, "data_only.lib"},
      {"info_partial.lib", {}, DICT_TYPE_SHORTHAND, DICT_EDIT_ALLOWED, DICT_CODE_ANSI, 0, "Partial info"},
      // A type of 0 is neither words nor shorthand.
      {nullptr, {{"DBTYPE", "x"}, {"DBEDIT", "  12abc"}, {"KEYCODE", "-3"}, {"DBEncrypt", "+1"}}, 0, 12, -3, 1,
       "odd.lib"},
      {nullptr, {{"DBTYPE", "2"}}, DICT_TYPE_SHORTHAND, DICT_EDIT_ALLOWED, DICT_CODE_ANSI, 0, "odd.lib"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    ScratchDir dir;
    std::string path = dir.File("odd.lib");
    if (c.fixture) path = CopyFixture(dir, c.fixture);
    else WriteInfoRows(path, c.rows);
    CDictionary dictionary;
    ASSERT_TRUE(dictionary.Open(path.c_str()));
    EXPECT_EQ(dictionary.GetType(), c.type);
    EXPECT_EQ(dictionary.GetEditFlags(), c.editFlags);
    EXPECT_EQ(dictionary.GetKeyCode(), c.keyCode);
    EXPECT_EQ(dictionary.GetDataCode(), DICT_CODE_ANSI);
    EXPECT_EQ(dictionary.GetScrambled(), c.scrambled);
    EXPECT_EQ(dictionary.GetCaption(), c.caption);
    EXPECT_EQ(dictionary.GetDescription(), "");
  }
  ScratchDir dir;
  const std::string data = CopyFixture(dir, "data_only.lib");
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(data.c_str()));
  EXPECT_THAT(Keys(dictionary, "", kDefaultMatchFlags), ElementsAre("hello", "Hello world", "world"));
  // An unknown key code stores ANSI.
  const std::string odd = dir.File("odd.lib");
  WriteInfoRows(odd, {{"KEYCODE", "7"}});
  ASSERT_TRUE(dictionary.Open(odd.c_str()));
  ASSERT_TRUE(dictionary.AddItem(DictItem("plain"), true));
  EXPECT_THAT(Keys(dictionary, "pl", kDefaultMatchFlags), ElementsAre("plain"));
}

// --- Files we cannot read -----------------------------------------------------

TEST(UnreadableFiles, AreRefusedAndNeverWritten) {
  ScratchDir dir;
  WriteFile(dir.File("garbage.lib"), testutil::Junk(3000, 7919, 13));
  // A storage written without the file layer reads as noise through it.
  CopyFixture(dir, "words_tiny.mk", "plain.lib");
  for (const char* name : {"garbage.lib", "plain.lib"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.File(name);
    const std::string before = ReadFile(path);
    {
      CDictionary dictionary;
      EXPECT_FALSE(dictionary.Open(path.c_str()));
      EXPECT_FALSE(dictionary.IsOpen());
      EXPECT_EQ(dictionary.GetItemCount(), 0);
      EXPECT_FALSE(dictionary.AddItem(DictItem("word"), true));
      EXPECT_FALSE(dictionary.SaveInfo());
      DictItem item;
      EXPECT_FALSE(dictionary.FindFirst("", item, kDefaultMatchFlags));
      EXPECT_EQ(dictionary.GetCaption(), name);
      dictionary.Close();
    }
    EXPECT_EQ(ReadFile(path), before);
  }
}

TEST(UnreadableFiles, ReopeningAfterAFailureStartsClean) {
  ScratchDir dir;
  const std::string bad = dir.File("bad.lib");
  WriteFile(bad, std::string(500, '\x55'));
  const std::string good = dir.File("good.lib");
  ASSERT_TRUE(MakeDictionary(good, DICT_TYPE_WORDS, {{"kiwi", ""}}));
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(good.c_str()));
  EXPECT_FALSE(dictionary.Open(bad.c_str()));
  EXPECT_EQ(dictionary.GetItemCount(), 0);
  ASSERT_TRUE(dictionary.Open(good.c_str()));
  EXPECT_THAT(Keys(dictionary, "k", kDefaultMatchFlags), ElementsAre("kiwi"));
}

// --- Adding, deleting, updating ------------------------------------------------

class Entries : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dictionary_.Open(dir_.File("d.lib").c_str())); }
  ScratchDir dir_;
  CDictionary dictionary_;
};

TEST_F(Entries, AddingKeepsSearchOrderAllowsDuplicatesAndReachesTheFile) {
  for (const char* key : {"pear", "apple", "fig", "apple"}) ASSERT_TRUE(dictionary_.AddItem(DictItem(key), true));
  EXPECT_FALSE(dictionary_.AddItem(DictItem("", "data"), true));
  DictItem noLength("abc");
  noLength.keyLength = 0;
  EXPECT_FALSE(dictionary_.AddItem(noLength, true));
  DictItem shorter("kiwifruit");
  shorter.keyLength = 4;  // only that many bytes are taken
  ASSERT_TRUE(dictionary_.AddItem(shorter, true));
  EXPECT_THAT(Keys(dictionary_, "", kDefaultMatchFlags), ElementsAre("apple", "apple", "fig", "kiwi", "pear"));
  const std::string path = dictionary_.GetPath();
  dictionary_.Close();
  CDictionary again;
  ASSERT_TRUE(again.Open(path.c_str()));
  EXPECT_EQ(again.GetItemCount(), 5);
}

TEST_F(Entries, DeleteTakesTheFirstEqualKeyAndUpdateRewritesInPlace) {
  dictionary_.SetCaptionHeader(0);
  ASSERT_TRUE(dictionary_.AddItem(DictItem("same", "one"), true));
  ASSERT_TRUE(dictionary_.AddItem(DictItem("same", "two"), true));
  ASSERT_TRUE(dictionary_.DeleteItem(DictItem("same")));
  EXPECT_EQ(dictionary_.GetItemCount(), 1);
  ASSERT_TRUE(dictionary_.DeleteItem(DictItem("same")));
  EXPECT_FALSE(dictionary_.DeleteItem(DictItem("same")));
  EXPECT_FALSE(dictionary_.DeleteItem(DictItem("")));

  ASSERT_TRUE(dictionary_.AddItem(DictItem("brb", "be right back"), true));
  ASSERT_TRUE(dictionary_.UpdateItem(DictItem("brb"), DictItem("brb", "be back soon")));
  DictItem item;
  ASSERT_TRUE(dictionary_.FindFirst("brb", item, kDefaultMatchFlags));
  EXPECT_EQ(item.Data(), "be back soon");
  EXPECT_FALSE(dictionary_.UpdateItem(DictItem("nothing"), DictItem("x", "y")));
  EXPECT_FALSE(dictionary_.UpdateItem(DictItem("brb"), DictItem("", "y")));
  EXPECT_EQ(dictionary_.GetItemCount(), 1);
}

// --- Searching ----------------------------------------------------------------

class Search : public ::testing::Test {
 protected:
  void Make(int type, const std::vector<Entry>& entries, const std::string& caption = "") {
    dictionary_.Close();
    fs::remove(path_);
    ASSERT_TRUE(MakeDictionary(path_, type, entries, caption));
    ASSERT_TRUE(dictionary_.Open(path_.c_str()));
  }
  ScratchDir dir_;
  std::string path_ = dir_.File("s.lib");
  CDictionary dictionary_;
};

TEST_F(Search, FlagsCaseAndLengthLimitsChooseTheKeys) {
  const std::vector<Entry> abc = {{"abc", ""}, {"abd", ""}, {"b", ""}};
  const std::vector<Entry> good = {{"good", ""}, {"good morning", ""}, {"goodbye", ""}};
  const std::vector<Entry> placed = {{"ab", ""}, {"abc", ""}, {"cbd", ""}, {"xab", ""}};
  const std::vector<Entry> lengths = {{"k", ""}, {"kk", ""}, {std::string(501, 'k'), ""}, {std::string(500, 'k'), ""}};
  const struct {
    int type;
    const std::vector<Entry>& entries;
    const char* text;
    int flags;
    Keys_ keys;
    int minLength = 0, maxLength = 0;  // limits set when not 0
  } cases[] = {
      // The prefix scan stops at the first key without the text.
      {DICT_TYPE_WORDS, abc, "ab", 41, {"abc", "abd"}},
      {DICT_TYPE_WORDS, abc, "b", 41, {"b"}},
      {DICT_TYPE_WORDS, abc, "c", 41, {}},
      // The capitalisation of the typed text carries over, in words only.
      {DICT_TYPE_WORDS, abc, "Ab", 41, {"Abc", "Abd"}},
      {DICT_TYPE_WORDS, abc, "AB", 41, {"ABC", "ABD"}},
      {DICT_TYPE_WORDS, abc, "aB", 41, {"abc", "abd"}},
      {DICT_TYPE_SHORTHAND, abc, "AB", 41, {"abc", "abd"}},
      // Word and phrase flags skip rows and go on.
      {DICT_TYPE_WORDS, good, "go", 9, {"good", "goodbye"}},
      {DICT_TYPE_WORDS, good, "go", 33, {"good morning"}},
      {DICT_TYPE_WORDS, good, "go", 41, {"good", "good morning", "goodbye"}},
      // Position flags stop at the first misplaced match: "abc" holds "ab"
      // but not at its end, which ends the scan before "xab".
      {DICT_TYPE_WORDS, placed, "ab", DICT_MATCH_END | DICT_WORDS, {"ab"}},
      {DICT_TYPE_WORDS, placed, "a", DICT_MATCH_START | DICT_WORDS, {"ab", "abc"}},
      // Inside: the scan starts at "cbd", the first row not below "b"; "xab"
      // holds "b" at its end, which ends the scan.
      {DICT_TYPE_WORDS, placed, "b", DICT_MATCH_INSIDE | DICT_WORDS, {"cbd"}},
      {DICT_TYPE_WORDS, placed, "a", DICT_MATCH_INSIDE | DICT_WORDS, {}},
      {DICT_TYPE_WORDS, placed, "ab", DICT_MATCH_ALL, {"ab", "abc"}},
      {DICT_TYPE_WORDS, good, "o", 8 | 32, {}},  // no position flag finds nothing
      {DICT_TYPE_WORDS, good, "", DICT_MATCH_ALL, {"good", "good morning", "goodbye"}},
      // Words keys of 501 bytes are too long; shorthand keys have no limits.
      {DICT_TYPE_WORDS, lengths, "k", 41, {"k", "kk", std::string(500, 'k')}},
      {DICT_TYPE_WORDS, lengths, "k", 41, {"kk"}, 2, 10},
      {DICT_TYPE_SHORTHAND, lengths, "k", 41, {"k", "kk", std::string(500, 'k'), std::string(501, 'k')}, 2, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " flags " + std::to_string(c.flags));
    Make(c.type, c.entries);
    if (c.maxLength) dictionary_.SetKeyLengthLimits(c.minLength, c.maxLength);
    EXPECT_EQ(Keys(dictionary_, c.text, c.flags), c.keys);
  }
}

TEST_F(Search, WordsDataCarriesTheCaptionHeaderAndShorthandDataNever) {
  const struct {
    int type;
    const char* caption;
    Entry entry;
    const char* data;  // nullptr: no data at all
    int dataLength;
  } cases[] = {
      {DICT_TYPE_WORDS, "Med", {"word", "x"}, "----Med----\rx", 14},
      {DICT_TYPE_WORDS, "Med", {"plain", ""}, nullptr, 0},
      {DICT_TYPE_WORDS, "", {"word", "remark"}, "----s.lib----\rremark", 21},
      {DICT_TYPE_SHORTHAND, "Short", {"sig", "Best regards,\r\nMe"}, "Best regards,\r\nMe", 17},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry.key);
    Make(c.type, {c.entry}, c.caption);
    DictItem item;
    ASSERT_TRUE(dictionary_.FindFirst(c.entry.key.c_str(), item, 41));
    EXPECT_EQ(item.type, c.type);
    EXPECT_EQ(item.dataLength, c.dataLength);
    if (c.data) {
      EXPECT_EQ(item.Data(), c.data);
    } else {
      EXPECT_EQ(item.data.get(), nullptr);
    }
  }
}

TEST_F(Search, FindExactFindNextAndTheEndOfASearch) {
  Make(DICT_TYPE_WORDS, {{"a1", ""}, {"a2", ""}, {"hello world", ""}, {"Zebra", ""}});
  DictItem item;
  EXPECT_FALSE(dictionary_.FindNext(item));  // without FindFirst
  EXPECT_FALSE(dictionary_.FindFirst(nullptr, item, 41));
  EXPECT_FALSE(dictionary_.FindExact("Hello", item, 41));
  EXPECT_EQ(item.Key(), "Hello world");  // the entry that was fetched
  EXPECT_TRUE(dictionary_.FindExact("zebra", item, 41));
  EXPECT_EQ(item.Key(), "Zebra");  // lower-case typed text leaves the key as stored
  ASSERT_TRUE(dictionary_.FindFirst("a", item, 41));
  ASSERT_TRUE(dictionary_.FindNext(item));
  EXPECT_FALSE(dictionary_.FindNext(item));
  EXPECT_EQ(item.key.get(), nullptr);
  EXPECT_FALSE(dictionary_.FindNext(item));  // stays at the end
}

// --- Encodings and scrambling ----------------------------------------------------

TEST(Encodings, Utf8DictionaryStoresUtf8AndReturnsAnsi) {
  CodePageScope cp(1252);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 1252";
  ScratchDir dir;
  const std::string path = dir.File("u8.lib");
  ASSERT_TRUE(MakeDictionary(path, DICT_TYPE_WORDS, {{"caf\xe9", "cr\xe8me"}, {"cafeteria", ""}}, "", 0,
                             DICT_CODE_UTF8, DICT_CODE_UTF8));
  EXPECT_THAT(StoredKeys(path), ElementsAre("cafeteria", "caf\xc3\xa9"));
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  dictionary.SetCaptionHeader(0);
  DictItem item;
  ASSERT_TRUE(dictionary.FindFirst("caf\xe9", item, 41));
  EXPECT_EQ(item.Key(), "caf\xe9");
  EXPECT_EQ(item.Data(), "cr\xe8me");
  EXPECT_EQ(item.dataLength, 6);  // converted data counts its NUL
  EXPECT_FALSE(dictionary.FindNext(item));
  EXPECT_TRUE(dictionary.DeleteItem(DictItem("caf\xe9")));
  EXPECT_EQ(dictionary.GetItemCount(), 1);
}

TEST(Encodings, Utf16DictionariesRefuseCodeUnitsWithAZeroByte) {
  const std::string zhongwen = "\xd6\xd0\xce\xc4";  // two Chinese characters, no zero byte in UTF-16
  const std::string euroS = "\x80\x8a\x8c";         // U+20AC U+0160 U+0152
  const struct {
    int codePage, dataCode;
    std::string refusedKey, key, data;
  } cases[] = {
      // 'a' is 61 00 in UTF-16.
      {936, DICT_CODE_UTF16, "abc", zhongwen, zhongwen},
      // Data stays in the ANSI code page.
      {1252, DICT_CODE_ANSI, "\x80" "a", euroS, "plain data"},
  };
  for (const auto& c : cases) {
    CodePageScope cp(c.codePage);
    if (!cp.ok()) continue;  // that code page is not available here
    SCOPED_TRACE(c.codePage);
    ScratchDir dir;
    CDictionary dictionary;
    ASSERT_TRUE(dictionary.Open(dir.File("u16.lib").c_str()));
    dictionary.SetKeyCode(DICT_CODE_UTF16);
    dictionary.SetDataCode(c.dataCode);
    dictionary.SetCaptionHeader(0);
    EXPECT_FALSE(dictionary.AddItem(DictItem(c.refusedKey), true));
    if (c.dataCode == DICT_CODE_UTF16) {
      EXPECT_FALSE(dictionary.AddItem(DictItem(c.key, "x"), true));
    }
    EXPECT_EQ(dictionary.GetItemCount(), 0);
    ASSERT_TRUE(dictionary.AddItem(DictItem(c.key, c.data), true));
    DictItem item;
    ASSERT_TRUE(dictionary.FindFirst(c.key.substr(0, 2).c_str(), item, 41));
    EXPECT_EQ(item.Key(), c.key);
    EXPECT_EQ(item.Data(), c.data);
  }
}

TEST(Encodings, DoubleByteKeysSearchAndLowerCaseSafely) {
  CodePageScope cp(932);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 932";
  ScratchDir dir;
  const std::string path = dir.File("jp.lib");
  const std::string katakanaA = "\x83\x41";   // trail byte 'A'
  const std::string fullwidthA = "\x82\x60";  // upper-case fullwidth A
  ASSERT_TRUE(MakeDictionary(path, DICT_TYPE_WORDS,
                             {{katakanaA + "x", ""}, {katakanaA + "y", ""}, {fullwidthA + "b", ""}}));
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_THAT(Keys(dictionary, katakanaA.c_str(), 41), ElementsAre(katakanaA + "x", katakanaA + "y"));
  // The trail byte 'A' is no letter: searching "a" finds nothing here.
  EXPECT_TRUE(Keys(dictionary, "\x83" "a", 41).empty());
  EXPECT_THAT(Keys(dictionary, fullwidthA.c_str(), 41), ElementsAre(fullwidthA + "b"));
}

TEST(Scrambled, EntriesAreStoredScrambledAndReadBackPlain) {
  ScratchDir dir;
  const std::string path = dir.File("enc.lib");
  ASSERT_TRUE(MakeDictionary(path, DICT_TYPE_WORDS, {{"secret", "hidden"}, {"second", ""}, {"other", ""}}, "",
                             1));
  for (const std::string& stored : StoredKeys(path)) EXPECT_EQ(stored.find("sec"), std::string::npos);
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetScrambled(), 1);
  dictionary.SetCaptionHeader(0);
  EXPECT_THAT(Keys(dictionary, "sec", 41), ::testing::UnorderedElementsAre("second", "secret"));
  DictItem item;
  ASSERT_TRUE(dictionary.FindExact("secret", item, 41));
  EXPECT_EQ(item.Data(), "hidden");
  EXPECT_TRUE(dictionary.DeleteItem(DictItem("secret")));
  EXPECT_THAT(Keys(dictionary, "sec", 41), ElementsAre("second"));
  // Text holding the mask byte is refused whole.
  EXPECT_FALSE(dictionary.AddItem(DictItem("bad\x1dkey"), true));
  EXPECT_FALSE(dictionary.AddItem(DictItem("good", "bad\x1d" "data"), true));
  EXPECT_EQ(dictionary.GetItemCount(), 2);
  ASSERT_TRUE(dictionary.AddItem(DictItem("good", "fine"), true));
  EXPECT_FALSE(dictionary.UpdateItem(DictItem("good"), DictItem("good", "x\x1d")));
  ASSERT_TRUE(dictionary.FindExact("good", item, 41));
  EXPECT_EQ(item.Data(), "fine");
}

TEST(Scrambled, EncryptMakesAScrambledCopyWithTheSameEntries) {
  ScratchDir dir;
  const std::string source = dir.File("short.lib");
  ASSERT_TRUE(MakeDictionary(source, DICT_TYPE_SHORTHAND,
                             {{"btw", "by the way"}, {"sig", "Regards,\r\nMe"}, {"ty", "thank you"}}, "Shorts"));
  // The copy is not found by the dictionary file pattern.
  const std::string target = source + ".dic";
  ASSERT_TRUE(EncryptDictionary(source.c_str(), target.c_str()));
  CDictionary copy;
  ASSERT_TRUE(copy.Open(target.c_str()));
  EXPECT_EQ(copy.GetScrambled(), 1);
  EXPECT_EQ(copy.GetType(), DICT_TYPE_SHORTHAND);
  EXPECT_EQ(copy.GetCaption(), "Shorts");
  std::vector<std::pair<std::string, std::string>> entries;
  DictItem item;
  for (bool found = copy.FindFirst("", item, 41); found; found = copy.FindNext(item))
    entries.emplace_back(item.Key(), item.Data());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::pair<std::string, std::string>>{
                         {"btw", "by the way"}, {"sig", "Regards,\r\nMe"}, {"ty", "thank you"}}));

  const std::string junk = dir.File("junk.lib");
  WriteFile(junk, std::string(300, '\x42'));
  EXPECT_FALSE(EncryptDictionary(junk.c_str(), (junk + ".dic").c_str()));
  EXPECT_EQ(ReadFile(junk), std::string(300, '\x42'));
}

// --- Files written by Metakit --------------------------------------------------

TEST(MetakitFiles, WordsShorthandAndScrambledFixtures) {
  ScratchDir dir;
  CDictionary dictionary;
  DictItem item;
  ASSERT_TRUE(dictionary.Open(CopyFixture(dir, "words_tiny.lib").c_str()));
  EXPECT_EQ(dictionary.GetCaption(), "Tiny Words");
  EXPECT_EQ(dictionary.GetDescription(), "three words");
  EXPECT_THAT(Keys(dictionary, "ab", 41), ElementsAre("abc", "abd"));
  ASSERT_TRUE(dictionary.FindExact("abd", item, 41));
  EXPECT_EQ(item.Data(), "----Tiny Words----\rremark for abd");

  ASSERT_TRUE(dictionary.Open(CopyFixture(dir, "shorthand.lib").c_str()));
  EXPECT_EQ(dictionary.GetType(), DICT_TYPE_SHORTHAND);
  EXPECT_EQ(dictionary.GetItemCount(), 8);
  ASSERT_TRUE(dictionary.FindExact("addr", item, 41));
  EXPECT_EQ(item.Data(), "123 Main Street\r\nSpringfield, IL 62701\r\nUSA");
  ASSERT_TRUE(dictionary.FindNext(item));
  EXPECT_EQ(item.Key(), "ADDR2");

  ASSERT_TRUE(dictionary.Open(CopyFixture(dir, "recscrambled.lib").c_str()));
  EXPECT_EQ(dictionary.GetScrambled(), 1);
  EXPECT_EQ(dictionary.GetCaption(), "Scrambled words");
  EXPECT_EQ(dictionary.GetItemCount(), 10);
  dictionary.SetCaptionHeader(0);
  // Rows stand in the order of their scrambled bytes: "Apple" sorts apart
  // from the keys in plain "a", so a search for "a" does not reach it.
  EXPECT_THAT(Keys(dictionary, "a", 41), ElementsAre("a b", "apple", "apricot"));
  ASSERT_TRUE(dictionary.FindExact("zebra", item, 41));
  EXPECT_EQ(item.Data(), "remark zebra");
  ASSERT_TRUE(dictionary.FindExact("Apple", item, 41));
  EXPECT_EQ(item.Data(), "remark Apple");
}

TEST(MetakitFiles, HighBytesAndCaseVariants) {
  CodePageScope cp(1252);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 1252";
  ScratchDir dir;
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(CopyFixture(dir, "highbytes.lib").c_str()));
  EXPECT_EQ(dictionary.GetCaption(), "Dictionnaire fran\xe7" "ais");
  EXPECT_EQ(dictionary.GetItemCount(), 41);
  EXPECT_THAT(Keys(dictionary, "caf", 41), ElementsAre("Cafe", "cafe", "CAF\xc9", "caf\xe9"));
  EXPECT_THAT(Keys(dictionary, "\xe9l", 41), ElementsAre("\xe9lan"));
}

TEST(MetakitFiles, LargeDictionaryFindsEveryStoredKey) {
  ScratchDir dir;
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(CopyFixture(dir, "dict20k.lib").c_str()));
  ASSERT_EQ(dictionary.GetItemCount(), 20000);
  const std::vector<std::string> all = Keys(dictionary, "", DICT_MATCH_ALL);
  ASSERT_EQ(all.size(), 20000u);
  for (size_t i = 0; i < all.size(); i += 97) {
    DictItem item;
    EXPECT_TRUE(dictionary.FindExact(all[i].c_str(), item, 41)) << all[i];
  }
}

TEST(MetakitFiles, EveryProductShapedFixtureOpens) {
  for (const char* name : {"empty_nothing", "empty_views", "info_only", "words_tiny", "shorthand", "highbytes",
                           "longstrings", "churn", "info_partial", "data_only", "keys_only", "single_memo",
                           "bigendian", "recscrambled"}) {
    ScratchDir dir;
    CDictionary dictionary;
    EXPECT_TRUE(dictionary.Open(CopyFixture(dir, std::string(name) + ".lib").c_str())) << name;
    EXPECT_EQ(static_cast<int>(Keys(dictionary, "", DICT_MATCH_ALL).size()), dictionary.GetItemCount()) << name;
  }
}

}  // namespace
