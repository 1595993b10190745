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

// The mask itself is pinned by the reference files: each .lib is its .mk
// masked byte for byte.
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
