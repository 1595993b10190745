// A commit interrupted after any number of writes leaves a file that opens to
// exactly the old content or exactly the new one.
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "mk/memory_strategy.h"
#include "mk/dump.h"

namespace {

c4_StringProp pKey("key"), pData("data"), pProp("prop"), pValue("value");

std::string Listing(const std::vector<uint8_t>& bytes) {
  MemoryStrategy file(bytes);
  c4_Storage s(file, false, 0);
  if (!s.IsValid()) return "<not a storage>";
  return mk::DumpStorage(s);
}

// Runs `change` on a storage over `before` and commits, crashing after k
// writes for every k; each result must list as before or as after.
// `inPlace`: the commit must fit inside the old file.
template <typename Change>
void CrashAtEveryWrite(const std::vector<uint8_t>& before, Change change, bool inPlace = false) {
  MemoryStrategy clean(before);
  {
    c4_Storage s(clean);
    ASSERT_TRUE(s.IsValid());
    change(s);
    ASSERT_TRUE(s.Commit());
  }
  ASSERT_TRUE(!inPlace || clean.bytes.size() == before.size()) << "expected an in-place commit";
  const long total = clean.writes;
  const std::string oldListing = Listing(before);
  const std::string newListing = Listing(clean.bytes);
  ASSERT_NE(oldListing, newListing);
  ASSERT_GT(total, 2);

  bool sawOld = false, sawNew = false;
  for (long k = 0; k < total; ++k) {
    MemoryStrategy file(before);
    file.writesBeforeCrash = k;
    {
      c4_Storage s(file);
      change(s);
      EXPECT_FALSE(s.Commit()) << "a lost write must be reported (k=" << k << ")";
    }
    std::string got = Listing(file.bytes);
    ASSERT_TRUE(got == oldListing || got == newListing) << "crash after write " << k << ":\n" << got;
    sawOld = sawOld || got == oldListing;
    sawNew = sawNew || got == newListing;

    // The next session works on whichever generation survived.
    file.writesBeforeCrash = -1;
    c4_Storage again(file);
    ASSERT_TRUE(again.IsValid());
    c4_View v = again.GetAs("DBDATA[key:S,data:S]");
    v.Add(pKey["after crash"]);
    ASSERT_TRUE(again.Commit());
    MemoryStrategy reread(file.bytes);
    c4_Storage check(reread, false, 0);
    c4_View w = check.View("DBDATA");
    ASSERT_GT(w.GetSize(), 0);
    EXPECT_STREQ(pKey(w[w.GetSize() - 1]), "after crash");
  }
  EXPECT_TRUE(sawOld);
  EXPECT_TRUE(sawNew);
}

TEST(CrashSafety, FirstCommitOfANewFile) {
  CrashAtEveryWrite({}, [](c4_Storage& s) {
    c4_View info = s.GetAs("DBINFO[prop:S,value:S]");
    info.Add(pProp["DBTYPE"] + pValue["1"]);
    c4_View data = s.GetAs("DBDATA[key:S,data:S]");
    for (int i = 0; i < 50; ++i) data.Add(pKey["word" + std::to_string(i)]);
  });
}

TEST(CrashSafety, CommitThatGrowsTheFile) {
  CrashAtEveryWrite(ReadFixture("words_tiny.mk"), [](c4_Storage& s) {
    c4_View data = s.GetAs("DBDATA[key:S,data:S]");
    for (int i = 0; i < 300; ++i) data.InsertAt(0, pKey["grow" + std::to_string(i)] + pData["x"]);
  });
}

TEST(CrashSafety, CommitIntoFreeSpaceInsideTheFile) {
  // churn has plenty of free space: a small change fits inside the file.
  CrashAtEveryWrite(
      ReadFixture("churn.mk"), [](c4_Storage& s) { s.GetAs("DBDATA[key:S,data:S]").RemoveAt(3, 1); }, true);
}

TEST(CrashSafety, CommitThatMovesLongValues) {
  CrashAtEveryWrite(ReadFixture("longstrings.mk"), [](c4_Storage& s) {
    c4_View data = s.GetAs("DBDATA[key:S,data:S]");
    data.SetAt(0, pKey["changed"] + pData[std::string(30000, 'm')]);
    data.RemoveAt(data.GetSize() - 1, 1);
  });
}

TEST(CrashSafety, CommitAfterAFailedCommitNeverOverwritesEitherGeneration) {
  MemoryStrategy file(ReadFixture("churn.mk"));
  c4_Storage s(file);
  c4_View data = s.GetAs("DBDATA[key:S,data:S]");
  data.RemoveAt(0, 5);
  file.writesBeforeCrash = file.writes + 3;
  EXPECT_FALSE(s.Commit());
  file.writesBeforeCrash = -1;
  data.RemoveAt(0, 1);
  ASSERT_TRUE(s.Commit());
  MemoryStrategy reread(file.bytes);
  c4_Storage check(reread, false, 0);
  EXPECT_EQ(check.View("DBDATA").GetSize(), 591 - 6);
}

}  // namespace
