// The profile functions: one suite for both backends. Natively it checks our
// own implementation, under Wine the system's; a difference is a bug.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_files.h"

namespace {

using configtest::ReadBytes;
using configtest::TempDir;
using configtest::WriteBytes;

struct Read {
  std::uint32_t result;
  std::string text;
};

Read GetString(const std::string& path, const char* section, const char* key,
               const char* def = "", std::uint32_t size = 256) {
  std::vector<char> buffer(size + 8, '\x7f');
  std::uint32_t n = platform::ProfileGetString(section, key, def, buffer.data(), size, path.c_str());
  return Read{n, std::string(buffer.data())};
}

// A list read into a buffer of `size`: the result and the list up to and
// with its closing NUL.
Read GetSection(const std::string& path, const char* section, std::uint32_t size = 1024) {
  std::vector<char> buffer(size + 8, '\x7f');
  std::uint32_t n = platform::ProfileGetSection(section, buffer.data(), size, path.c_str());
  return Read{n, std::string(buffer.data(), n + 1)};
}

Read GetSectionNames(const std::string& path, std::uint32_t size = 1024) {
  std::vector<char> buffer(size + 8, '\x7f');
  std::uint32_t n = platform::ProfileGetSectionNames(buffer.data(), size, path.c_str());
  return Read{n, std::string(buffer.data(), n + 1)};
}

std::string List(std::initializer_list<const char*> items) {
  std::string out;
  for (const char* s : items) {
    out += s;
    out += '\0';
  }
  out += '\0';
  return out;
}

class ProfileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string ini = dir.Path("test.ini");
};

// ---- reading ----------------------------------------------------------------

TEST_F(ProfileTest, LookupIgnoresLetterCaseAndBlanks) {
  WriteBytes(ini, "[Others]\r\n  nMaxItemShow =  7  \r\nName=Value\r\n");
  EXPECT_EQ(GetString(ini, "others", "NMAXITEMSHOW").text, "7");
  EXPECT_EQ(GetString(ini, "  OTHERS ", " name\t").text, "Value");
  EXPECT_EQ(GetString(ini, "others", "NMAXITEMSHOW").result, 1u);
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(GetString(dir.Path("none.ini"), "A", "k", "dflt").text, "dflt");
  WriteBytes(ini, "[A]\r\nk=v\r\n");
  Read r = GetString(ini, "B", "k", "dflt");
  EXPECT_EQ(r.text, "dflt");
  EXPECT_EQ(r.result, 4u);
  EXPECT_EQ(GetString(ini, "A", "x", "dflt").text, "dflt");
  EXPECT_EQ(GetString(ini, "A", "x", nullptr).text, "");
}

TEST_F(ProfileTest, DefaultLosesTrailingBlanksAndQuotes) {
  WriteBytes(ini, "[A]\r\n");
  EXPECT_EQ(GetString(ini, "A", "x", "abc   ").text, "abc");
  EXPECT_EQ(GetString(ini, "A", "x", "\"q d\"").text, "q d");
  EXPECT_EQ(GetString(ini, "A", "x", " lead").text, " lead");
}

TEST_F(ProfileTest, MatchingQuotesAroundAValueAreDropped) {
  WriteBytes(ini,
             "[Q]\r\nd=\"a b \"\r\ns='x'\r\nm=\"a'\r\none=\"\r\nin=a\"b\"\r\nempty=\"\"\r\n");
  EXPECT_EQ(GetString(ini, "Q", "d").text, "a b ");
  EXPECT_EQ(GetString(ini, "Q", "s").text, "x");
  EXPECT_EQ(GetString(ini, "Q", "m").text, "\"a'");
  EXPECT_EQ(GetString(ini, "Q", "one").text, "\"");
  EXPECT_EQ(GetString(ini, "Q", "in").text, "a\"b\"");
  EXPECT_EQ(GetString(ini, "Q", "empty").text, "");
}

TEST_F(ProfileTest, FirstOfDuplicateSectionsAndKeysIsRead) {
  WriteBytes(ini, "[A]\r\nk=1\r\nk=2\r\n[B]\r\nj=0\r\n[a]\r\nk=3\r\nz=4\r\n");
  EXPECT_EQ(GetString(ini, "A", "k").text, "1");
  // Keys of a later duplicate section are not seen.
  EXPECT_EQ(GetString(ini, "A", "z", "none").text, "none");
  EXPECT_EQ(GetSection(ini, "a").text, List({"k=1", "k=2"}));
  EXPECT_EQ(GetSectionNames(ini).text, List({"A", "B", "a"}));
}

TEST_F(ProfileTest, ValueKeepsEverythingAfterTheFirstEqualsSign) {
  WriteBytes(ini, "[A]\r\nk = a = b ; c\r\n");
  EXPECT_EQ(GetString(ini, "A", "k").text, "a = b ; c");
}

TEST_F(ProfileTest, LinesWithoutEqualsSignHaveNoValue) {
  WriteBytes(ini, "[A]\r\nplain line\r\n;comment=1\r\nk=v\r\n");
  EXPECT_EQ(GetString(ini, "A", "plain line", "dflt").text, "dflt");
  EXPECT_EQ(GetSection(ini, "A").text, List({"plain line", "k=v"}));
}

TEST_F(ProfileTest, KeysBeforeTheFirstSectionBelongToNoSection) {
  WriteBytes(ini, "top=1\r\n[A]\r\nk=v\r\n");
  EXPECT_EQ(GetString(ini, "A", "top", "none").text, "none");
  EXPECT_EQ(GetSectionNames(ini).text, List({"A"}));
}

TEST_F(ProfileTest, SectionHeaderEndsAtTheLastBracket) {
  WriteBytes(ini, "[ Sp ace ] trailing\r\nk=1\r\n[a]b]\r\nk=2\r\n[open\r\nk=3\r\n");
  EXPECT_EQ(GetSectionNames(ini).text, List({"Sp ace", "a]b"}));
  EXPECT_EQ(GetString(ini, "sp ace", "k").text, "1");
  // "[open" is no header: its key belongs to the section before it.
  EXPECT_EQ(GetSection(ini, "a]b").text, List({"k=2", "[open", "k=3"}));
}

TEST_F(ProfileTest, SectionListReadsKeyNamesWithNullKey) {
  WriteBytes(ini, "[A]\r\nk1=1\r\nnovalue\r\n k2 = 2\r\n");
  std::vector<char> buffer(64, '\x7f');
  std::uint32_t n = platform::ProfileGetString("A", nullptr, "", buffer.data(), 64, ini.c_str());
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(std::string(buffer.data(), n + 1), List({"k1", "k2"}));
}

// ---- buffer sizes -----------------------------------------------------------

TEST_F(ProfileTest, ShortBufferCutsTheValue) {
  WriteBytes(ini, "[A]\r\nk=abcdefgh\r\nq=\"abcd\"\r\n");
  Read r = GetString(ini, "A", "k", "", 5);
  EXPECT_EQ(r.result, 4u);
  EXPECT_EQ(r.text, "abcd");
  r = GetString(ini, "A", "k", "", 9);
  EXPECT_EQ(r.result, 8u);
  EXPECT_EQ(r.text, "abcdefgh");
  // A cut quoted value keeps what fits; the closing quote only goes when the
  // buffer is at least as long as the value without its opening quote.
  EXPECT_EQ(GetString(ini, "A", "q", "", 4).text, "abc");
  EXPECT_EQ(GetString(ini, "A", "q", "", 5).text, "abc");
  EXPECT_EQ(GetString(ini, "A", "q", "", 6).text, "abcd");
}

TEST_F(ProfileTest, ShortBufferCutsTheSectionList) {
  WriteBytes(ini, "[A]\r\nk1=v1\r\nk2=v2\r\n");
  EXPECT_EQ(GetSection(ini, "A", 64).result, 12u);
  Read fits = GetSection(ini, "A", 14);
  EXPECT_EQ(fits.result, 12u);
  EXPECT_EQ(fits.text, List({"k1=v1", "k2=v2"}));
  Read exact = GetSection(ini, "A", 13);
  EXPECT_EQ(exact.result, 11u);
  Read cut = GetSection(ini, "A", 8);
  EXPECT_EQ(cut.result, 6u);
  EXPECT_EQ(cut.text, std::string("k1=v1\0\0", 7));
}

TEST_F(ProfileTest, ShortBufferCutsTheSectionNames) {
  WriteBytes(ini, "[One]\r\n[Two]\r\n");
  Read all = GetSectionNames(ini, 64);
  EXPECT_EQ(all.result, 8u);
  EXPECT_EQ(all.text, List({"One", "Two"}));
  EXPECT_EQ(GetSectionNames(ini, 10).result, 8u);
  // Exactly full counts as cut.
  EXPECT_EQ(GetSectionNames(ini, 9).result, 7u);
  std::vector<char> buffer(16, '\x7f');
  std::uint32_t n = platform::ProfileGetSectionNames(buffer.data(), 7, ini.c_str());
  EXPECT_EQ(n, 5u);
  EXPECT_EQ(std::string(buffer.data(), 6), std::string("One\0T\0", 6));
}

TEST_F(ProfileTest, AbsentSectionGivesAnEmptyList) {
  WriteBytes(ini, "[A]\r\nk=v\r\n");
  Read r = GetSection(ini, "B");
  EXPECT_EQ(r.result, 0u);
  EXPECT_EQ(r.text, std::string(1, '\0'));
  EXPECT_EQ(GetSectionNames(dir.Path("none.ini")).result, 0u);
}

// ---- writing -----------------------------------------------------------------

TEST_F(ProfileTest, WritingCreatesTheFileSectionsAndKeysInOrder) {
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "v", ini.c_str()));
  EXPECT_TRUE(platform::ProfileWriteString("B", "k2", "  v2", ini.c_str()));
  EXPECT_TRUE(platform::ProfileWriteString("a", "k3", "v3", ini.c_str()));
  EXPECT_EQ(ReadBytes(ini), "[A]\r\nk=v\r\nk3=v3\r\n[B]\r\nk2=v2\r\n");
}

TEST_F(ProfileTest, WritingReplacesAValueInPlace) {
  WriteBytes(ini, "; header\r\n[A]\r\nx=1\r\nK = old\r\ny=2\r\n");
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "new", ini.c_str()));
  EXPECT_EQ(ReadBytes(ini), "; header\r\n[A]\r\nx=1\r\nK=new\r\ny=2\r\n");
}

TEST_F(ProfileTest, NullValueDeletesTheKeyAndNullKeyTheSection) {
  WriteBytes(ini, "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
  EXPECT_TRUE(platform::ProfileWriteString("a", "X", nullptr, ini.c_str()));
  EXPECT_EQ(ReadBytes(ini), "[A]\r\ny=2\r\n[B]\r\nz=3\r\n");
  EXPECT_TRUE(platform::ProfileWriteString("A", nullptr, nullptr, ini.c_str()));
  EXPECT_EQ(ReadBytes(ini), "[B]\r\nz=3\r\n");
  EXPECT_TRUE(platform::ProfileWriteString("Gone", nullptr, nullptr, ini.c_str()));
  EXPECT_EQ(ReadBytes(ini), "[B]\r\nz=3\r\n");
}

TEST_F(ProfileTest, WritingASectionReplacesItsLines) {
  WriteBytes(ini, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  const char lines[] = "p=1\0no equals\0q = 2\0";
  EXPECT_TRUE(platform::ProfileWriteSection("A", lines, ini.c_str()));
  EXPECT_EQ(ReadBytes(ini), "[A]\r\np=1\r\nq =2\r\n[B]\r\ny=2\r\n");
  EXPECT_TRUE(platform::ProfileWriteSection("C", "c=3\0", ini.c_str()));
  EXPECT_EQ(GetSection(ini, "C").text, List({"c=3"}));
  EXPECT_EQ(GetString(ini, "A", "q").text, "2");
}

TEST_F(ProfileTest, UnchangedValueLeavesTheFileAlone) {
  WriteBytes(ini, "[A]\n k = v\n");
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "v", ini.c_str()));
  EXPECT_EQ(ReadBytes(ini), "[A]\n k = v\n");
}

TEST_F(ProfileTest, WriteIntoMissingFolderFails) {
  std::string bad = dir.Path("no-such-folder") + "/" + "x.ini";
  EXPECT_FALSE(platform::ProfileWriteString("A", "k", "v", bad.c_str()));
  EXPECT_FALSE(configtest::Exists(bad));
  EXPECT_EQ(GetString(bad, "A", "k", "dflt").text, "dflt");
}

// ---- damaged files --------------------------------------------------------------

TEST_F(ProfileTest, LineEndsMayBeCrLfCrOrLf) {
  WriteBytes(ini, "[A]\rk=1\r[B]\nk=2\n[C]\r\n\r\n\rk=3");
  EXPECT_EQ(GetString(ini, "A", "k").text, "1");
  EXPECT_EQ(GetString(ini, "B", "k").text, "2");
  EXPECT_EQ(GetString(ini, "C", "k").text, "3");
}

TEST_F(ProfileTest, Utf8ByteOrderMarkIsSkippedAndKept) {
  WriteBytes(ini, "\xEF\xBB\xBF[A]\r\nk=1\r\n");
  EXPECT_EQ(GetString(ini, "A", "k").text, "1");
  EXPECT_EQ(GetSectionNames(ini).text, List({"A"}));
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "2", ini.c_str()));
  EXPECT_EQ(ReadBytes(ini), "\xEF\xBB\xBF[A]\r\nk=2\r\n");
}

TEST_F(ProfileTest, VeryLongLinesAreReadWhole) {
  std::string value(100000, 'x');
  value[99999] = 'y';
  WriteBytes(ini, "[A]\r\nk=" + value + "\r\n[" + std::string(100000, 's') + "]\r\nk=2\r\n[B]\r\nk=3\r\n");
  std::vector<char> buffer(100010);
  std::uint32_t n = platform::ProfileGetString("A", "k", "", buffer.data(), 100010, ini.c_str());
  EXPECT_EQ(n, 100000u);
  EXPECT_EQ(std::string(buffer.data()), value);
  EXPECT_EQ(GetString(ini, "B", "k").text, "3");
  Read names = GetSectionNames(ini, 100100);
  EXPECT_EQ(names.result, 100005u);
  std::string expected(1, 'A');
  expected.push_back('\0');
  expected.append(100000, 's');
  expected.push_back('\0');
  expected.push_back('B');
  expected.append(2, '\0');
  EXPECT_EQ(names.text, expected);
}

TEST_F(ProfileTest, BinaryGarbageLoadsWithoutHarm) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += char((i * 131 + 7) & 0xff);
  WriteBytes(ini, junk + "\r\n[A]\r\nk=v\r\n");
  EXPECT_EQ(GetString(ini, "A", "k").text, "v");
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "w", ini.c_str()));
  EXPECT_EQ(GetString(ini, "A", "k").text, "w");
}

TEST_F(ProfileTest, EmbeddedNulEndsANameOrValue) {
  WriteBytes(ini, std::string("[A]\r\nk=ab\0cd\r\nj\0x=1\r\n", 22));
  EXPECT_EQ(GetString(ini, "A", "k").text, "ab");
  EXPECT_EQ(GetString(ini, "A", "j").text, "1");
}

TEST_F(ProfileTest, FolderInPlaceOfTheFileReadsAsDefaults) {
  std::string folder = dir.Path("folder.ini");
  std::filesystem::create_directories(folder);
  EXPECT_EQ(GetString(folder, "A", "k", "dflt").text, "dflt");
  EXPECT_EQ(GetSection(folder, "A").result, 0u);
  EXPECT_EQ(GetSectionNames(folder).result, 0u);
  EXPECT_FALSE(platform::ProfileWriteString("A", "k", "v", folder.c_str()));
}

TEST_F(ProfileTest, RunsOfLinesStartingWithEqualsKeepOnlyTheFirst) {
  WriteBytes(ini, "[A]\r\n=1\r\n=2\r\nk=3\r\n=4\r\n");
  EXPECT_EQ(GetSection(ini, "A").text, List({"=1", "k=3", "=4"}));
}

#ifndef _WIN32
// ---- interrupted saves (our own writer) ---------------------------------------

bool AbandonSave(const char*) { return false; }

[[noreturn]] bool CrashDuringSave(const char*) { std::_Exit(3); }

TEST_F(ProfileTest, AbandonedSaveLeavesTheOldFile) {
  WriteBytes(ini, "[A]\r\nk=old\r\n");
  platform::SetProfileSaveHook(&AbandonSave);
  bool written = platform::ProfileWriteString("A", "k", "new", ini.c_str());
  platform::SetProfileSaveHook(nullptr);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadBytes(ini), "[A]\r\nk=old\r\n");
  EXPECT_EQ(GetString(ini, "A", "k").text, "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(ini).parent_path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(ProfileTest, CrashInTheMiddleOfASaveLeavesTheOldFile) {
  WriteBytes(ini, "[A]\r\nk=old\r\n");
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        platform::SetProfileSaveHook(&CrashDuringSave);
        platform::ProfileWriteString("A", "k", "new", ini.c_str());
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(ReadBytes(ini), "[A]\r\nk=old\r\n");
  EXPECT_EQ(GetString(ini, "A", "k").text, "old");
  // The next save goes through in spite of the leftover.
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "new", ini.c_str()));
  EXPECT_EQ(GetString(ini, "A", "k").text, "new");
}

TEST_F(ProfileTest, SavedFileKeepsItsPermissions) {
  WriteBytes(ini, "[A]\r\nk=1\r\n");
  std::filesystem::permissions(ini, std::filesystem::perms(0640));
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "2", ini.c_str()));
  EXPECT_EQ(std::filesystem::status(ini).permissions(), std::filesystem::perms(0640));
}
#endif

}  // namespace
