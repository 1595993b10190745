// The two scrambling layers: the file layer under every dictionary file and
// the record layer of scrambled dictionaries.
#include "dict/LibFileStrategy.h"

#include <gtest/gtest.h>

#include <string>

#include "dict/Dictionary.h"
#include "DictTestUtil.h"

namespace {

using namespace dicttest;

std::string Unmask(std::string bytes) {
  ApplyLibFileMask(0, reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
  return bytes;
}

TEST(FileLayer, MaskDependsOnPositionAndRepeatsEvery256Bytes) {
  EXPECT_EQ(LibFileMask(0), 0xB5);
  EXPECT_EQ(LibFileMask(1), 0xB4);
  EXPECT_EQ(LibFileMask(0x1B5), 0x00);
  for (int p = 0; p < 1024; ++p) EXPECT_EQ(LibFileMask(p), LibFileMask(p + 256)) << p;
}

TEST(FileLayer, SameBytesAtTwoPositionsAreStoredDifferently) {
  ScratchDir dir;
  const std::string path = dir.File("raw.bin");
  {
    CLibFileStrategy strategy;
    ASSERT_TRUE(strategy.DataOpen(path.c_str(), 1));
    strategy.DataWrite(0, "abcd", 4);
    strategy.DataWrite(4, "abcd", 4);
    strategy.DataWrite(260, "abcd", 4);
  }
  const std::string raw = ReadFile(path);
  ASSERT_EQ(raw.size(), 264u);
  EXPECT_NE(raw.substr(0, 4), "abcd");
  EXPECT_NE(raw.substr(0, 4), raw.substr(4, 4));
  EXPECT_EQ(raw.substr(4, 4), raw.substr(260, 4));
  CLibFileStrategy strategy;
  ASSERT_TRUE(strategy.DataOpen(path.c_str(), 0));
  char back[4];
  EXPECT_EQ(strategy.DataRead(260, back, 4), 4);
  EXPECT_EQ(std::string(back, 4), "abcd");
  // Empty reads and writes do nothing.
  strategy.DataWrite(0, "x", 0);
  EXPECT_EQ(strategy.DataRead(0, back, 0), 0);
  EXPECT_EQ(std::string(back, 4), "abcd");
  EXPECT_EQ(strategy.FileSize(), 264);
}

TEST(FileLayer, FixtureLibFilesAreTheirMkFilesMasked) {
  for (const char* name : {"words_tiny", "shorthand", "recscrambled", "highbytes"}) {
    const std::string lib = ReadFile(FixturePath(std::string(name) + ".lib"));
    const std::string mk = ReadFile(FixturePath(std::string(name) + ".mk"));
    ASSERT_FALSE(lib.empty()) << name;
    EXPECT_EQ(Unmask(lib), mk) << name;
  }
}

TEST(FileLayer, WrittenDictionaryShowsNoStorageHeaderOnDisk) {
  ScratchDir dir;
  const std::string path = dir.File("x.lib");
  ASSERT_TRUE(MakeDictionary(path, DICT_TYPE_WORDS, {{"apple", ""}}));
  const std::string raw = ReadFile(path);
  ASSERT_GE(raw.size(), 2u);
  // Metakit files start with "JL" or "LJ"; ours only after unmasking.
  EXPECT_NE(raw.substr(0, 2), "JL");
  EXPECT_NE(raw.substr(0, 2), "LJ");
  EXPECT_EQ(Unmask(raw).substr(0, 2), "JL");
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  EXPECT_EQ(dictionary.GetItemCount(), 1);
}

TEST(RecordLayer, ScramblesByXorAndRotationKeepingCommonPrefixes) {
  std::string text = "a";
  ScrambleRecordText(text);
  // 'a' ^ 0x1D = 0x7C, rotated left by five = 0x8F.
  EXPECT_EQ(static_cast<unsigned char>(text[0]), 0x8F);
  for (int b = 0; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    ScrambleRecordText(one);
    EXPECT_EQ(one[0] == '\0', b == 0x1D) << b;  // only the mask becomes zero
    UnscrambleRecordText(one);
    EXPECT_EQ(static_cast<unsigned char>(one[0]), b);
  }
  std::string a = "prefix-one";
  std::string b = "prefix-two";
  ScrambleRecordText(a);
  ScrambleRecordText(b);
  EXPECT_EQ(a.substr(0, 7), b.substr(0, 7));
  EXPECT_NE(a.substr(0, 7), "prefix-");
}

}  // namespace
