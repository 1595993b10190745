// CDictionary: opening, attributes, changing entries, searching, encodings,
// scrambled dictionaries, files written by Metakit, and files we must not
// touch.
#include "dict/dictionary.h"

#include <gtest/gtest.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dict_test_util.h"

namespace {

using namespace dicttest;
using ::testing::ElementsAre;

// --- Opening and attributes ----------------------------------------------------

TEST(OpenAndInfo, NewFileOpensEmptyWithDefaults) {
  ScratchDir dir;
  const std::string path = dir.File("new.lib");
  CDictionary dictionary;
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
}

TEST(OpenAndInfo, EmptyPathIsRefused) {
  CDictionary dictionary;
  EXPECT_FALSE(dictionary.Open(""));
  EXPECT_FALSE(dictionary.Open(nullptr));
  EXPECT_FALSE(dictionary.IsOpen());
  EXPECT_EQ(dictionary.GetCaption(), "UNKNOWN DICTIONARY");
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
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetType(), DICT_TYPE_SHORTHAND);
  EXPECT_EQ(dictionary.GetEditFlags(), 6);
  EXPECT_EQ(dictionary.GetCaption(), "My words");
  EXPECT_EQ(dictionary.GetDescription(), "line one\r\nline two");
  EXPECT_EQ(dictionary.GetCaptionHeader(), 0);  // shorthand results carry no header
}

TEST(OpenAndInfo, MissingInfoViewGivesDefaultsAndTheFileName) {
  ScratchDir dir;
  const std::string path = CopyFixture(dir, "data_only.lib");
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetType(), DICT_TYPE_WORDS);
  EXPECT_EQ(dictionary.GetKeyCode(), DICT_CODE_ANSI);
  EXPECT_EQ(dictionary.GetDataCode(), DICT_CODE_ANSI);
  EXPECT_EQ(dictionary.GetEditFlags(), DICT_EDIT_ALLOWED);
  EXPECT_EQ(dictionary.GetScrambled(), 0);
  EXPECT_EQ(dictionary.GetCaption(), "data_only.lib");
  EXPECT_THAT(Keys(dictionary, "", kDefaultMatchFlags), ElementsAre("hello", "Hello world", "world"));
}

TEST(OpenAndInfo, PartialInfoKeepsDefaultsForWhatIsMissing) {
  ScratchDir dir;
  const std::string path = CopyFixture(dir, "info_partial.lib");
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetType(), DICT_TYPE_SHORTHAND);
  EXPECT_EQ(dictionary.GetCaption(), "Partial info");
  EXPECT_EQ(dictionary.GetKeyCode(), DICT_CODE_ANSI);
  EXPECT_EQ(dictionary.GetEditFlags(), DICT_EDIT_ALLOWED);
  EXPECT_EQ(dictionary.GetDescription(), "");
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

TEST(OpenAndInfo, NumericAttributesReadLikeAtoi) {
  ScratchDir dir;
  const std::string path = dir.File("odd.lib");
  WriteInfoRows(path, {{"DBTYPE", "x"}, {"DBEDIT", "  12abc"}, {"KEYCODE", "-3"}, {"DBEncrypt", "+1"}});
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetType(), 0);  // neither words nor shorthand
  EXPECT_EQ(dictionary.GetEditFlags(), 12);
  EXPECT_EQ(dictionary.GetKeyCode(), -3);
  EXPECT_EQ(dictionary.GetScrambled(), 1);
}

TEST(OpenAndInfo, UnknownKeyCodeStoresAnsi) {
  ScratchDir dir;
  const std::string path = dir.File("odd.lib");
  WriteInfoRows(path, {{"KEYCODE", "7"}});
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  ASSERT_TRUE(dictionary.AddItem(DictItem("plain"), true));
  EXPECT_THAT(Keys(dictionary, "pl", kDefaultMatchFlags), ElementsAre("plain"));
}

TEST(OpenAndInfo, TypeTwoAttributeMakesAShorthandDictionary) {
  ScratchDir dir;
  const std::string path = dir.File("sh.lib");
  WriteInfoRows(path, {{"DBTYPE", "2"}});
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetType(), DICT_TYPE_SHORTHAND);
}

// --- Files we cannot read -----------------------------------------------------

TEST(UnreadableFiles, GarbageIsRefusedAndNeverWritten) {
  ScratchDir dir;
  const std::string path = dir.File("garbage.lib");
  std::string garbage;
  for (int i = 0; i < 3000; ++i) garbage += static_cast<char>((i * 7919 + 13) & 0xFF);
  WriteFile(path, garbage);
  {
    CDictionary dictionary;
    EXPECT_FALSE(dictionary.Open(path.c_str()));
    EXPECT_FALSE(dictionary.IsOpen());
    EXPECT_EQ(dictionary.GetItemCount(), 0);
    EXPECT_FALSE(dictionary.AddItem(DictItem("word"), true));
    EXPECT_FALSE(dictionary.SaveInfo());
    DictItem item;
    EXPECT_FALSE(dictionary.FindFirst("", item, kDefaultMatchFlags));
    EXPECT_EQ(dictionary.GetCaption(), "garbage.lib");
    dictionary.Close();
  }
  EXPECT_EQ(ReadFile(path), garbage);
}

TEST(UnreadableFiles, PlainMetakitFileWithoutFileLayerIsRefused) {
  // A storage written without the file layer reads as noise through it.
  ScratchDir dir;
  const std::string path = CopyFixture(dir, "words_tiny.mk", "plain.lib");
  const std::string before = ReadFile(path);
  {
    CDictionary dictionary;
    EXPECT_FALSE(dictionary.Open(path.c_str()));
  }
  EXPECT_EQ(ReadFile(path), before);
}

TEST(UnreadableFiles, PathThatCannotBeCreatedIsRefused) {
  ScratchDir dir;
  CDictionary dictionary;
  EXPECT_FALSE(dictionary.Open(dir.File("no-such-folder/x.lib").c_str()));
  EXPECT_FALSE(dictionary.Open(dir.path().string().c_str()));  // a folder
  EXPECT_FALSE(fs::exists(dir.File("no-such-folder")));
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

TEST_F(Entries, AddingKeepsRowsInSearchOrderAndAllowsDuplicates) {
  for (const char* key : {"pear", "apple", "fig", "apple"}) ASSERT_TRUE(dictionary_.AddItem(DictItem(key), true));
  EXPECT_EQ(dictionary_.GetItemCount(), 4);
  EXPECT_THAT(Keys(dictionary_, "", kDefaultMatchFlags), ElementsAre("apple", "apple", "fig", "pear"));
}

TEST_F(Entries, EmptyKeyIsRefused) {
  EXPECT_FALSE(dictionary_.AddItem(DictItem("", "data"), true));
  DictItem noLength("abc");
  noLength.keyLength = 0;
  EXPECT_FALSE(dictionary_.AddItem(noLength, true));
  EXPECT_EQ(dictionary_.GetItemCount(), 0);
}

TEST_F(Entries, KeyLengthTakesOnlyThatManyBytes) {
  DictItem item("abcdef");
  item.keyLength = 3;
  ASSERT_TRUE(dictionary_.AddItem(item, true));
  EXPECT_THAT(Keys(dictionary_, "", kDefaultMatchFlags), ElementsAre("abc"));
}

TEST_F(Entries, DeleteRemovesOnlyTheFirstEqualKey) {
  ASSERT_TRUE(dictionary_.AddItem(DictItem("same", "one"), true));
  ASSERT_TRUE(dictionary_.AddItem(DictItem("same", "two"), true));
  ASSERT_TRUE(dictionary_.DeleteItem(DictItem("same")));
  EXPECT_EQ(dictionary_.GetItemCount(), 1);
  ASSERT_TRUE(dictionary_.DeleteItem(DictItem("same")));
  EXPECT_FALSE(dictionary_.DeleteItem(DictItem("same")));
  EXPECT_FALSE(dictionary_.DeleteItem(DictItem("")));
  EXPECT_EQ(dictionary_.GetItemCount(), 0);
}

TEST_F(Entries, UpdateRewritesTheRowInPlace) {
  dictionary_.SetCaptionHeader(0);
  ASSERT_TRUE(dictionary_.AddItem(DictItem("brb", "be right back"), true));
  ASSERT_TRUE(dictionary_.UpdateItem(DictItem("brb"), DictItem("brb", "be back soon")));
  DictItem item;
  ASSERT_TRUE(dictionary_.FindFirst("brb", item, kDefaultMatchFlags));
  EXPECT_EQ(item.Data(), "be back soon");
  EXPECT_FALSE(dictionary_.UpdateItem(DictItem("nothing"), DictItem("x", "y")));
  EXPECT_FALSE(dictionary_.UpdateItem(DictItem("brb"), DictItem("", "y")));
  EXPECT_EQ(dictionary_.GetItemCount(), 1);
}

TEST_F(Entries, ChangesReachTheFileWhenClosed) {
  ASSERT_TRUE(dictionary_.AddItem(DictItem("persist", "me"), true));
  const std::string path = dictionary_.GetPath();
  dictionary_.Close();
  CDictionary again;
  ASSERT_TRUE(again.Open(path.c_str()));
  EXPECT_EQ(again.GetItemCount(), 1);
}

// --- Searching ----------------------------------------------------------------

class Search : public ::testing::Test {
 protected:
  void Make(int type, const std::vector<Entry>& entries, const std::string& caption = "") {
    path_ = dir_.File("s.lib");
    ASSERT_TRUE(MakeDictionary(path_, type, entries, caption));
    ASSERT_TRUE(dictionary_.Open(path_.c_str()));
  }
  ScratchDir dir_;
  std::string path_;
  CDictionary dictionary_;
};

TEST_F(Search, PrefixScanStopsAtTheFirstKeyWithoutTheText) {
  Make(DICT_TYPE_WORDS, {{"abc", ""}, {"abd", ""}, {"b", ""}});
  EXPECT_THAT(Keys(dictionary_, "ab", 41), ElementsAre("abc", "abd"));
  EXPECT_THAT(Keys(dictionary_, "b", 41), ElementsAre("b"));
  EXPECT_TRUE(Keys(dictionary_, "c", 41).empty());
}

TEST_F(Search, CapitalisationOfTheTypedTextCarriesOver) {
  Make(DICT_TYPE_WORDS, {{"abc", ""}, {"abd", ""}, {"b", ""}});
  EXPECT_THAT(Keys(dictionary_, "Ab", 41), ElementsAre("Abc", "Abd"));
  EXPECT_THAT(Keys(dictionary_, "AB", 41), ElementsAre("ABC", "ABD"));
  EXPECT_THAT(Keys(dictionary_, "aB", 41), ElementsAre("abc", "abd"));
}

TEST_F(Search, ShorthandKeysKeepTheirCase) {
  Make(DICT_TYPE_SHORTHAND, {{"btw", "by the way"}});
  EXPECT_THAT(Keys(dictionary_, "BT", 41), ElementsAre("btw"));
}

TEST_F(Search, WordsDictionaryAppliesKeyLengthLimits) {
  const std::string longKey(501, 'k');
  Make(DICT_TYPE_WORDS, {{"k", ""}, {"kk", ""}, {longKey, ""}, {std::string(500, 'k'), ""}});
  EXPECT_EQ(Keys(dictionary_, "k", 41).size(), 3u);  // 501 bytes is too long
  dictionary_.SetKeyLengthLimits(2, 10);
  EXPECT_THAT(Keys(dictionary_, "k", 41), ElementsAre("kk"));
}

TEST_F(Search, ShorthandDictionaryIgnoresKeyLengthLimits) {
  const std::string longKey(501, 'k');
  Make(DICT_TYPE_SHORTHAND, {{longKey, "long"}});
  EXPECT_THAT(Keys(dictionary_, "k", 41), ElementsAre(longKey));
}

TEST_F(Search, WordAndPhraseFlagsSkipRowsAndGoOn) {
  Make(DICT_TYPE_WORDS, {{"good", ""}, {"good morning", ""}, {"goodbye", ""}});
  EXPECT_THAT(Keys(dictionary_, "go", 9), ElementsAre("good", "goodbye"));
  EXPECT_THAT(Keys(dictionary_, "go", 33), ElementsAre("good morning"));
  EXPECT_THAT(Keys(dictionary_, "go", 41), ElementsAre("good", "good morning", "goodbye"));
}

TEST_F(Search, PositionFlagsStopAtTheFirstMisplacedMatch) {
  Make(DICT_TYPE_WORDS, {{"ab", ""}, {"abc", ""}, {"cbd", ""}, {"xab", ""}});
  // End match: "abc" holds "ab" but not at its end, which ends the scan
  // before "xab" is reached.
  EXPECT_THAT(Keys(dictionary_, "ab", DICT_MATCH_END | DICT_WORDS), ElementsAre("ab"));
  EXPECT_THAT(Keys(dictionary_, "a", DICT_MATCH_START | DICT_WORDS), ElementsAre("ab", "abc"));
  // Inside match: the scan starts at "cbd" (the first row not below "b");
  // "xab" holds "b" at its end, which ends the scan.
  EXPECT_THAT(Keys(dictionary_, "b", DICT_MATCH_INSIDE | DICT_WORDS), ElementsAre("cbd"));
  EXPECT_TRUE(Keys(dictionary_, "a", DICT_MATCH_INSIDE | DICT_WORDS).empty());
  EXPECT_THAT(Keys(dictionary_, "ab", DICT_MATCH_ALL), ElementsAre("ab", "abc"));
}

TEST_F(Search, FlagsWithoutAPositionFindNothingButAllFindsEverything) {
  Make(DICT_TYPE_WORDS, {{"one", ""}, {"two words", ""}});
  EXPECT_TRUE(Keys(dictionary_, "o", 8 | 32).empty());
  EXPECT_THAT(Keys(dictionary_, "", DICT_MATCH_ALL), ElementsAre("one", "two words"));
}

TEST_F(Search, DataCarriesTheCaptionHeader) {
  Make(DICT_TYPE_WORDS, {{"word", "x"}, {"plain", ""}}, "Med");
  DictItem item;
  ASSERT_TRUE(dictionary_.FindFirst("word", item, 41));
  EXPECT_EQ(item.Data(), "----Med----\rx");
  EXPECT_EQ(item.dataLength, 14);
  EXPECT_EQ(item.type, DICT_TYPE_WORDS);
  ASSERT_TRUE(dictionary_.FindFirst("plain", item, 41));
  EXPECT_EQ(item.data.get(), nullptr);
  EXPECT_EQ(item.dataLength, 0);
}

TEST_F(Search, HeaderUsesTheFileNameWhenThereIsNoCaption) {
  Make(DICT_TYPE_WORDS, {{"word", "remark"}});
  DictItem item;
  ASSERT_TRUE(dictionary_.FindFirst("wo", item, 41));
  EXPECT_EQ(item.Data(), "----s.lib----\rremark");
}

TEST_F(Search, ShorthandDataNeverCarriesTheHeader) {
  Make(DICT_TYPE_SHORTHAND, {{"sig", "Best regards,\r\nMe"}}, "Short");
  DictItem item;
  ASSERT_TRUE(dictionary_.FindFirst("sig", item, 41));
  EXPECT_EQ(item.Data(), "Best regards,\r\nMe");
  EXPECT_EQ(item.dataLength, 17);
  EXPECT_EQ(item.type, DICT_TYPE_SHORTHAND);
}

TEST_F(Search, FindExactComparesWholeKeysIgnoringCase) {
  Make(DICT_TYPE_WORDS, {{"hello world", ""}, {"Zebra", ""}});
  DictItem item;
  EXPECT_FALSE(dictionary_.FindExact("Hello", item, 41));
  EXPECT_EQ(item.Key(), "Hello world");  // the entry that was fetched
  EXPECT_TRUE(dictionary_.FindExact("zebra", item, 41));
  EXPECT_EQ(item.Key(), "Zebra");  // lower-case typed text leaves the key as stored
}

TEST_F(Search, FindNextWithoutFindFirstFindsNothing) {
  Make(DICT_TYPE_WORDS, {{"a", ""}});
  DictItem item;
  EXPECT_FALSE(dictionary_.FindNext(item));
  EXPECT_FALSE(dictionary_.FindFirst(nullptr, item, 41));
}

TEST_F(Search, EndOfSearchKeepsTheCursorAndStaysAtTheEnd) {
  Make(DICT_TYPE_WORDS, {{"a1", ""}, {"a2", ""}});
  DictItem item;
  ASSERT_TRUE(dictionary_.FindFirst("a", item, 41));
  ASSERT_TRUE(dictionary_.FindNext(item));
  EXPECT_FALSE(dictionary_.FindNext(item));
  EXPECT_EQ(item.key.get(), nullptr);
  EXPECT_FALSE(dictionary_.FindNext(item));
}

// --- Encodings and scrambling ----------------------------------------------------

TEST(Encodings, Utf8DictionaryStoresUtf8AndReturnsAnsi) {
  CodePageScope cp(1252);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 1252";
  ScratchDir dir;
  const std::string path = dir.File("u8.lib");
  ASSERT_TRUE(MakeDictionary(path, DICT_TYPE_WORDS, {{"caf\xe9", "cr\xe8me"}, {"cafeteria", ""}}, "", 0,
                             DICT_CODE_UTF8, DICT_CODE_UTF8));
  {
    // The bytes in the storage are UTF-8.
    CLibFileStrategy strategy;
    ASSERT_TRUE(strategy.DataOpen(path.c_str(), 0));
    c4_Storage storage(strategy, false, 0);
    c4_View data = storage.View("DBDATA");
    c4_StringProp key("key");
    ASSERT_EQ(data.GetSize(), 2);
    EXPECT_STREQ(static_cast<const char*>(key(data[1])), "caf\xc3\xa9");  // after "cafeteria"
  }
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

TEST(Encodings, Utf16DictionaryRefusesCodeUnitsWithAZeroByte) {
  CodePageScope cp(936);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 936";
  ScratchDir dir;
  const std::string path = dir.File("u16.lib");
  const std::string zhongwen = "\xd6\xd0\xce\xc4";  // two Chinese characters, no zero byte in UTF-16
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  dictionary.SetKeyCode(DICT_CODE_UTF16);
  dictionary.SetDataCode(DICT_CODE_UTF16);
  dictionary.SetCaptionHeader(0);
  EXPECT_FALSE(dictionary.AddItem(DictItem("abc"), true));  // 'a' is 61 00 in UTF-16
  EXPECT_FALSE(dictionary.AddItem(DictItem(zhongwen, "x"), true));
  EXPECT_EQ(dictionary.GetItemCount(), 0);
  ASSERT_TRUE(dictionary.AddItem(DictItem(zhongwen, zhongwen), true));
  DictItem item;
  ASSERT_TRUE(dictionary.FindFirst("\xd6\xd0", item, 41));
  EXPECT_EQ(item.Key(), zhongwen);
  EXPECT_EQ(item.Data(), zhongwen);
}

TEST(Encodings, Utf16InTheWesternCodePageHoldsOnlyCharactersWithoutAZeroByte) {
  CodePageScope cp(1252);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 1252";
  ScratchDir dir;
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(dir.File("u16.lib").c_str()));
  dictionary.SetKeyCode(DICT_CODE_UTF16);
  dictionary.SetCaptionHeader(0);
  EXPECT_FALSE(dictionary.AddItem(DictItem("\x80" "a"), true));  // "a" is 61 00
  const std::string euroS = "\x80\x8a\x8c";                     // U+20AC U+0160 U+0152
  ASSERT_TRUE(dictionary.AddItem(DictItem(euroS, "plain data"), true));
  EXPECT_EQ(dictionary.GetItemCount(), 1);
  DictItem item;
  ASSERT_TRUE(dictionary.FindFirst("\x80", item, 41));
  EXPECT_EQ(item.Key(), euroS);
  EXPECT_EQ(item.Data(), "plain data");  // data stays in the ANSI code page
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
  {
    CLibFileStrategy strategy;
    ASSERT_TRUE(strategy.DataOpen(path.c_str(), 0));
    c4_Storage storage(strategy, false, 0);
    c4_View data = storage.View("DBDATA");
    c4_StringProp key("key");
    for (int i = 0; i < data.GetSize(); ++i) {
      const std::string stored = static_cast<const char*>(key(data[i]));
      EXPECT_EQ(stored.find("sec"), std::string::npos);
    }
  }
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
}

TEST(Scrambled, TextWithTheMaskByteIsRefusedWhole) {
  ScratchDir dir;
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(dir.File("enc.lib").c_str()));
  dictionary.SetScrambled(1);
  EXPECT_FALSE(dictionary.AddItem(DictItem("bad\x1dkey"), true));
  EXPECT_FALSE(dictionary.AddItem(DictItem("good", "bad\x1d" "data"), true));
  EXPECT_EQ(dictionary.GetItemCount(), 0);
  ASSERT_TRUE(dictionary.AddItem(DictItem("good", "fine"), true));
  EXPECT_FALSE(dictionary.UpdateItem(DictItem("good"), DictItem("good", "x\x1d")));
  dictionary.SetCaptionHeader(0);
  DictItem item;
  ASSERT_TRUE(dictionary.FindFirst("good", item, 41));
  EXPECT_EQ(item.Data(), "fine");
}

TEST(Scrambled, MetakitFixtureReadsBackPlain) {
  ScratchDir dir;
  const std::string path = CopyFixture(dir, "recscrambled.lib");
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetScrambled(), 1);
  EXPECT_EQ(dictionary.GetCaption(), "Scrambled words");
  EXPECT_EQ(dictionary.GetItemCount(), 10);
  dictionary.SetCaptionHeader(0);
  // Rows stand in the order of their scrambled bytes: "Apple" sorts apart
  // from the keys in plain "a", so a search for "a" does not reach it.
  EXPECT_THAT(Keys(dictionary, "a", 41), ElementsAre("a b", "apple", "apricot"));
  DictItem item;
  ASSERT_TRUE(dictionary.FindExact("zebra", item, 41));
  EXPECT_EQ(item.Data(), "remark zebra");
  ASSERT_TRUE(dictionary.FindExact("Apple", item, 41));
  EXPECT_EQ(item.Data(), "remark Apple");
}

// --- Copying to a scrambled file ---------------------------------------------------

TEST(Encrypt, ShorthandDictionaryBecomesAScrambledCopyWithTheSameEntries) {
  ScratchDir dir;
  const std::string source = dir.File("short.lib");
  ASSERT_TRUE(MakeDictionary(source, DICT_TYPE_SHORTHAND,
                             {{"btw", "by the way"}, {"sig", "Regards,\r\nMe"}, {"ty", "thank you"}}, "Shorts"));
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
  // The copy is not found by the dictionary file pattern.
  EXPECT_EQ(fs::path(target).extension(), ".dic");
}

TEST(Encrypt, FailsWhenTheSourceCannotBeRead) {
  ScratchDir dir;
  const std::string source = dir.File("junk.lib");
  WriteFile(source, std::string(300, '\x42'));
  EXPECT_FALSE(EncryptDictionary(source.c_str(), (source + ".dic").c_str()));
  EXPECT_EQ(ReadFile(source), std::string(300, '\x42'));
}

// --- Files written by Metakit --------------------------------------------------

TEST(MetakitFiles, TinyWordsDictionary) {
  ScratchDir dir;
  const std::string path = CopyFixture(dir, "words_tiny.lib");
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetCaption(), "Tiny Words");
  EXPECT_EQ(dictionary.GetDescription(), "three words");
  EXPECT_THAT(Keys(dictionary, "ab", 41), ElementsAre("abc", "abd"));
  DictItem item;
  ASSERT_TRUE(dictionary.FindExact("abd", item, 41));
  EXPECT_EQ(item.Data(), "----Tiny Words----\rremark for abd");
}

TEST(MetakitFiles, ShorthandDictionaryWithMacros) {
  ScratchDir dir;
  const std::string path = CopyFixture(dir, "shorthand.lib");
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetType(), DICT_TYPE_SHORTHAND);
  EXPECT_EQ(dictionary.GetItemCount(), 8);
  DictItem item;
  ASSERT_TRUE(dictionary.FindExact("addr", item, 41));
  EXPECT_EQ(item.Data(), "123 Main Street\r\nSpringfield, IL 62701\r\nUSA");
  ASSERT_TRUE(dictionary.FindNext(item));
  EXPECT_EQ(item.Key(), "ADDR2");
}

TEST(MetakitFiles, HighBytesAndCaseVariants) {
  CodePageScope cp(1252);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 1252";
  ScratchDir dir;
  const std::string path = CopyFixture(dir, "highbytes.lib");
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetCaption(), "Dictionnaire fran\xe7" "ais");
  EXPECT_EQ(dictionary.GetItemCount(), 41);
  EXPECT_THAT(Keys(dictionary, "caf", 41), ElementsAre("Cafe", "cafe", "CAF\xc9", "caf\xe9"));
  EXPECT_THAT(Keys(dictionary, "\xe9l", 41), ElementsAre("\xe9lan"));
}

TEST(MetakitFiles, LargeDictionaryFindsEveryStoredKey) {
  ScratchDir dir;
  const std::string path = CopyFixture(dir, "dict20k.lib");
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  const int count = dictionary.GetItemCount();
  ASSERT_EQ(count, 20000);
  // Every key found by FindExact; listing returns every row.
  EXPECT_EQ(static_cast<int>(Keys(dictionary, "", DICT_MATCH_ALL).size()), count);
  std::vector<std::string> all = Keys(dictionary, "", DICT_MATCH_ALL);
  int found = 0;
  for (size_t i = 0; i < all.size(); i += 97) {
    DictItem item;
    if (dictionary.FindExact(all[i].c_str(), item, 41)) ++found;
  }
  EXPECT_EQ(found, static_cast<int>((all.size() + 96) / 97));
}

TEST(MetakitFiles, EveryProductShapedFixtureOpens) {
  for (const char* name : {"empty_nothing", "empty_views", "info_only", "words_tiny", "shorthand", "highbytes",
                           "longstrings", "churn", "info_partial", "data_only", "keys_only", "single_memo",
                           "bigendian", "recscrambled"}) {
    ScratchDir dir;
    const std::string path = CopyFixture(dir, std::string(name) + ".lib");
    CDictionary dictionary;
    EXPECT_TRUE(dictionary.Open(path.c_str())) << name;
    DictItem item;
    for (bool found = dictionary.FindFirst("", item, DICT_MATCH_ALL); found; found = dictionary.FindNext(item)) {
    }
  }
}

}  // namespace
