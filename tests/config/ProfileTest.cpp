// The profile functions: one suite for both backends. Natively it checks our
// own implementation, under Wine the system's; a difference is a bug.
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace {

using configtest::List;
using configtest::ReadFile;
using configtest::TempDir;
using configtest::WriteFile;

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
// with its closing NUL. The lines of `section`, or with none the section names.
Read GetList(const std::string& path, const char* section, std::uint32_t size = 1024) {
  std::vector<char> buffer(size + 8, '\x7f');
  std::uint32_t n = section ? platform::ProfileGetSection(section, buffer.data(), size, path.c_str())
                            : platform::ProfileGetSectionNames(buffer.data(), size, path.c_str());
  return Read{n, std::string(buffer.data(), n + 1)};
}

class ProfileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string ini = dir.File("test.ini");
};

// ---- reading ----------------------------------------------------------------

TEST_F(ProfileTest, SingleValueReads) {
  const struct {
    const char* file;
    const char* section;
    const char* key;
    const char* def;
    std::uint32_t size;
    const char* text;
    int result;  // -1: not checked
  } cases[] = {
      // Letter case and blanks around names do not count.
      {"[Others]\r\n  nMaxItemShow =  7  \r\n", "others", "NMAXITEMSHOW", "", 256, "7", 1},
      {"[Others]\r\nName=Value\r\n", "  OTHERS ", " name\t", "", 256, "Value", -1},
      // A missing section or key gives the default, without trailing blanks or quotes.
      {"[A]\r\nk=v\r\n", "B", "k", "dflt", 256, "dflt", 4},
      {"[A]\r\nk=v\r\n", "A", "x", nullptr, 256, "", -1},
      {"[A]\r\n", "A", "x", "abc   ", 256, "abc", -1},
      {"[A]\r\n", "A", "x", "\"q d\"", 256, "q d", -1},
      {"[A]\r\n", "A", "x", " lead", 256, " lead", -1},
      // Only matching quotes around a value are dropped.
      {"[Q]\r\nd=\"a b \"\r\n", "Q", "d", "", 256, "a b ", -1},
      {"[Q]\r\ns='x'\r\n", "Q", "s", "", 256, "x", -1},
      {"[Q]\r\nm=\"a'\r\n", "Q", "m", "", 256, "\"a'", -1},
      {"[Q]\r\none=\"\r\n", "Q", "one", "", 256, "\"", -1},
      {"[Q]\r\nin=a\"b\"\r\n", "Q", "in", "", 256, "a\"b\"", -1},
      {"[Q]\r\nempty=\"\"\r\n", "Q", "empty", "", 256, "", -1},
      // The first of duplicate sections and keys is read.
      {"[A]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\nz=4\r\n", "A", "k", "", 256, "1", -1},
      {"[A]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\nz=4\r\n", "A", "z", "none", 256, "none", -1},
      {"[A]\r\nk = a = b ; c\r\n", "A", "k", "", 256, "a = b ; c", -1},
      {"[A]\r\nplain line\r\nk=v\r\n", "A", "plain line", "dflt", 256, "dflt", -1},
      {"top=1\r\n[A]\r\nk=v\r\n", "A", "top", "none", 256, "none", -1},
      {"[ Sp ace ] trailing\r\nk=1\r\n", "sp ace", "k", "", 256, "1", -1},
      // A short buffer cuts the value; a cut quoted value keeps what fits, and
      // the closing quote only goes when the buffer is at least as long as the
      // value without its opening quote.
      {"[A]\r\nk=abcdefgh\r\n", "A", "k", "", 5, "abcd", 4},
      {"[A]\r\nk=abcdefgh\r\n", "A", "k", "", 9, "abcdefgh", 8},
      {"[A]\r\nq=\"abcd\"\r\n", "A", "q", "", 4, "abc", -1},
      {"[A]\r\nq=\"abcd\"\r\n", "A", "q", "", 5, "abc", -1},
      {"[A]\r\nq=\"abcd\"\r\n", "A", "q", "", 6, "abcd", -1},
      // Damaged files: any line end, a byte order mark.
      {"[A]\rk=1\r[B]\nk=2\n[C]\r\n\r\n\rk=3", "A", "k", "", 256, "1", -1},
      {"[A]\rk=1\r[B]\nk=2\n[C]\r\n\r\n\rk=3", "B", "k", "", 256, "2", -1},
      {"[A]\rk=1\r[B]\nk=2\n[C]\r\n\r\n\rk=3", "C", "k", "", 256, "3", -1},
      {"\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "", 256, "1", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " / " + c.key);
    WriteFile(ini, c.file);
    const Read r = GetString(ini, c.section, c.key, c.def, c.size);
    EXPECT_EQ(r.text, c.text);
    if (c.result >= 0) {
      EXPECT_EQ(r.result, std::uint32_t(c.result));
    }
  }
  EXPECT_EQ(GetString(dir.File("none.ini"), "A", "k", "dflt").text, "dflt");
}

TEST_F(ProfileTest, ListReads) {
  const struct {
    const char* file;
    const char* section;  // nullptr: the section names
    std::uint32_t size;
    std::string list;  // empty: not checked
    std::uint32_t result;
  } cases[] = {
      {"[A]\r\nk=1\r\nk=2\r\n[B]\r\nj=0\r\n[a]\r\nk=3\r\n", "a", 1024, List({"k=1", "k=2"}), 8},
      {"[A]\r\nk=1\r\n[B]\r\nj=0\r\n[a]\r\nk=3\r\n", nullptr, 1024, List({"A", "B", "a"}), 6},
      // Comments go, blanks around a key and its value too.
      {"[A]\r\nplain line\r\n;comment=1\r\n  k  =  v\r\n", "A", 1024,
       List({"plain line", "k=v"}), 15},
      {"top=1\r\n[A]\r\nk=v\r\n", nullptr, 1024, List({"A"}), 2},
      // A header ends at the last bracket; "[open" is no header.
      {"[ Sp ace ] x\r\nk=1\r\n[a]b]\r\nk=2\r\n[open\r\nk=3\r\n", nullptr, 1024,
       List({"Sp ace", "a]b"}), 11},
      {"[a]b]\r\nk=2\r\n[open\r\nk=3\r\n", "a]b", 1024, List({"k=2", "[open", "k=3"}), 14},
      // Runs of lines starting with an equals sign keep only the first.
      {"[A]\r\n=1\r\n=2\r\nk=3\r\n=4\r\n", "A", 1024, List({"=1", "k=3", "=4"}), 10},
      {"[A]\r\nk=v\r\n", "B", 1024, std::string(1, '\0'), 0},
      // Short buffers cut the list; exactly full counts as cut.
      {"[A]\r\nk1=v1\r\nk2=v2\r\n", "A", 14, List({"k1=v1", "k2=v2"}), 12},
      {"[A]\r\nk1=v1\r\nk2=v2\r\n", "A", 13, "", 11},
      {"[A]\r\nk1=v1\r\nk2=v2\r\n", "A", 8, std::string("k1=v1\0\0", 7), 6},
      {"[One]\r\n[Two]\r\n", nullptr, 10, List({"One", "Two"}), 8},
      {"[One]\r\n[Two]\r\n", nullptr, 9, "", 7},
      {"[One]\r\n[Two]\r\n", nullptr, 7, std::string("One\0T\0", 6), 5},
      {"\xEF\xBB\xBF[A]\r\nk=1\r\n", nullptr, 1024, List({"A"}), 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " / " + std::to_string(c.size));
    WriteFile(ini, c.file);
    const Read r = GetList(ini, c.section, c.size);
    EXPECT_EQ(r.result, c.result);
    if (!c.list.empty()) {
      EXPECT_EQ(r.text, c.list);
    }
  }
  EXPECT_EQ(GetList(dir.File("none.ini"), nullptr).result, 0u);
}

TEST_F(ProfileTest, SectionListReadsKeyNamesWithNullKey) {
  WriteFile(ini, "[A]\r\nk1=1\r\nnovalue\r\n k2 = 2\r\n");
  std::vector<char> buffer(64, '\x7f');
  std::uint32_t n = platform::ProfileGetString("A", nullptr, "", buffer.data(), 64, ini.c_str());
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(std::string(buffer.data(), n + 1), List({"k1", "k2"}));
}

// ---- writing -----------------------------------------------------------------

TEST_F(ProfileTest, WritesChangeOnlyTheirKeyOrSection) {
  const struct {
    const char* before;  // nullptr: no file
    const char* section;
    const char* key;    // nullptr: delete the section
    const char* value;  // nullptr: delete the key
    const char* after;
  } cases[] = {
      // New sections and keys go at the end; a value loses its leading blanks.
      {nullptr, "A", "k", "v", "[A]\r\nk=v\r\n"},
      {"[A]\r\nk=v\r\n", "B", "k2", "  v2", "[A]\r\nk=v\r\n[B]\r\nk2=v2\r\n"},
      {"[A]\r\nk=v\r\n[B]\r\nk2=v2\r\n", "a", "k3", "v3",
       "[A]\r\nk=v\r\nk3=v3\r\n[B]\r\nk2=v2\r\n"},
      // A value is replaced in place.
      {"; header\r\n[A]\r\nx=1\r\nK = old\r\ny=2\r\n", "A", "k", "new",
       "; header\r\n[A]\r\nx=1\r\nK=new\r\ny=2\r\n"},
      {"[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n", "a", "X", nullptr, "[A]\r\ny=2\r\n[B]\r\nz=3\r\n"},
      {"[A]\r\ny=2\r\n[B]\r\nz=3\r\n", "a", nullptr, nullptr, "[B]\r\nz=3\r\n"},
      {"[B]\r\nz=3\r\n", "Gone", nullptr, nullptr, "[B]\r\nz=3\r\n"},
      // An unchanged value leaves the file alone; a byte order mark is kept.
      {"[A]\n k = v\n", "A", "k", "v", "[A]\n k = v\n"},
      {"\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "2", "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.before ? c.before : "(none)") + " / " + c.section);
    std::filesystem::remove(ini);
    if (c.before) WriteFile(ini, c.before);
    EXPECT_TRUE(platform::ProfileWriteString(c.section, c.key, c.value, ini.c_str()));
    EXPECT_EQ(ReadFile(ini), c.after);
  }
}

TEST_F(ProfileTest, WritingASectionReplacesItsLines) {
  WriteFile(ini, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  const char lines[] = "p=1\0no equals\0q = 2\0";
  EXPECT_TRUE(platform::ProfileWriteSection("A", lines, ini.c_str()));
  EXPECT_EQ(ReadFile(ini), "[A]\r\np=1\r\nq =2\r\n[B]\r\ny=2\r\n");
  EXPECT_TRUE(platform::ProfileWriteSection("C", "c=3\0", ini.c_str()));
  EXPECT_EQ(GetList(ini, "C").text, List({"c=3"}));
  EXPECT_EQ(GetString(ini, "A", "q").text, "2");
}

// ---- damaged files --------------------------------------------------------------

TEST_F(ProfileTest, VeryLongLinesAreReadWhole) {
  std::string value(100000, 'x');
  value[99999] = 'y';
  WriteFile(ini, "[A]\r\nk=" + value + "\r\n[" + std::string(100000, 's') + "]\r\nk=2\r\n[B]\r\nk=3\r\n");
  std::vector<char> buffer(100010);
  std::uint32_t n = platform::ProfileGetString("A", "k", "", buffer.data(), 100010, ini.c_str());
  EXPECT_EQ(n, 100000u);
  EXPECT_EQ(std::string(buffer.data()), value);
  EXPECT_EQ(GetString(ini, "B", "k").text, "3");
  Read names = GetList(ini, nullptr, 100100);
  EXPECT_EQ(names.result, 100005u);
  EXPECT_EQ(names.text, std::string("A\0", 2) + std::string(100000, 's') + std::string("\0B\0\0", 4));
}

TEST_F(ProfileTest, BinaryGarbageLoadsWithoutHarmAndANulEndsANameOrValue) {
  WriteFile(ini, configtest::Junk(4096, 131, 7) + "\r\n[A]\r\nk=v\r\n");
  EXPECT_EQ(GetString(ini, "A", "k").text, "v");
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "w", ini.c_str()));
  EXPECT_EQ(GetString(ini, "A", "k").text, "w");
  WriteFile(ini, std::string("[A]\r\nk=ab\0cd\r\nj\0x=1\r\n", 22));
  EXPECT_EQ(GetString(ini, "A", "k").text, "ab");
  EXPECT_EQ(GetString(ini, "A", "j").text, "1");
}

TEST_F(ProfileTest, FolderInPlaceOfTheFileOrAMissingFolderReadsAsDefaults) {
  std::string folder = dir.File("folder.ini");
  std::filesystem::create_directories(folder);
  EXPECT_EQ(GetString(folder, "A", "k", "dflt").text, "dflt");
  EXPECT_EQ(GetList(folder, "A").result, 0u);
  EXPECT_EQ(GetList(folder, nullptr).result, 0u);
  EXPECT_FALSE(platform::ProfileWriteString("A", "k", "v", folder.c_str()));
  // Nor can a file be made in a folder that does not exist.
  std::string bad = dir.File("no-such-folder") + "/" + "x.ini";
  EXPECT_FALSE(platform::ProfileWriteString("A", "k", "v", bad.c_str()));
  EXPECT_FALSE(configtest::Exists(bad));
  EXPECT_EQ(GetString(bad, "A", "k", "dflt").text, "dflt");
}

#ifndef _WIN32
// ---- interrupted saves (our own writer) ---------------------------------------

bool AbandonSave(const char*) { return false; }

[[noreturn]] bool CrashDuringSave(const char*) { std::_Exit(3); }

long FilesIn(const TempDir& dir) {
  return long(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()));
}

TEST_F(ProfileTest, AbandonedSaveLeavesTheOldFile) {
  WriteFile(ini, "[A]\r\nk=old\r\n");
  platform::SetProfileSaveHook(&AbandonSave);
  bool written = platform::ProfileWriteString("A", "k", "new", ini.c_str());
  platform::SetProfileSaveHook(nullptr);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile(ini), "[A]\r\nk=old\r\n");
  EXPECT_EQ(GetString(ini, "A", "k").text, "old");
  EXPECT_EQ(FilesIn(dir), 1);
}

TEST_F(ProfileTest, CrashInTheMiddleOfASaveLeavesTheOldFile) {
  WriteFile(ini, "[A]\r\nk=old\r\n");
  // "fast": the child forks from here and writes this test's file. A re-run
  // child ("threadsafe") makes a scratch folder of its own and leaves this
  // one untouched.
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(
      {
        platform::SetProfileSaveHook(&CrashDuringSave);
        platform::ProfileWriteString("A", "k", "new", ini.c_str());
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(FilesIn(dir), 2);  // the file and the half-written copy
  EXPECT_EQ(ReadFile(ini), "[A]\r\nk=old\r\n");
  EXPECT_EQ(GetString(ini, "A", "k").text, "old");
  // The next save goes through in spite of the leftover.
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "new", ini.c_str()));
  EXPECT_EQ(GetString(ini, "A", "k").text, "new");
}

TEST_F(ProfileTest, SavedFileKeepsItsPermissions) {
  WriteFile(ini, "[A]\r\nk=1\r\n");
  std::filesystem::permissions(ini, std::filesystem::perms(0640));
  EXPECT_TRUE(platform::ProfileWriteString("A", "k", "2", ini.c_str()));
  EXPECT_EQ(std::filesystem::status(ini).permissions(), std::filesystem::perms(0640));
}
#endif

}  // namespace
