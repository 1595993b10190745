// Damaged dictionary files: truncated, bytes flipped, runs zeroed. Whatever
// the damage, opening and reading never crash, and a file that does not open
// is left exactly as it was.
#include <gtest/gtest.h>

#include <string>

#include "dict/Dictionary.h"
#include "dict/DictionarySet.h"
#include "DictTestUtil.h"

namespace {

using namespace dicttest;

// Opens the bytes as a dictionary, reads everything, tries a change, closes.
// Returns whether it opened; fails the test if a refused file changed.
bool Exercise(const ScratchDir& dir, const std::string& bytes) {
  const std::string path = dir.File("damaged.lib");
  WriteFile(path, bytes);
  bool opened = false;
  {
    CDictionary dictionary;
    opened = dictionary.Open(path.c_str());
    DictItem item;
    int rows = 0;
    for (bool found = dictionary.FindFirst("", item, DICT_MATCH_ALL); found && rows < 100000;
         found = dictionary.FindNext(item))
      ++rows;
    dictionary.FindFirst("a", item, kDefaultMatchFlags);
    dictionary.GetCaption();
    if (opened) {
      EXPECT_LE(rows, dictionary.GetItemCount());
      dictionary.AddItem(DictItem("added", "after damage"), true);
    }
  }
  if (!opened) {
    EXPECT_EQ(ReadFile(path), bytes) << "a file that did not open was changed";
  }
  return opened;
}

class Damage : public ::testing::TestWithParam<const char*> {
 protected:
  std::string Original() { return ReadFile(FixturePath(std::string(GetParam()) + ".lib")); }
  ScratchDir dir_;
};

// Cut short at every step, one byte flipped, or eight bytes zeroed.
TEST_P(Damage, TruncatedFlippedAndZeroed) {
  const std::string original = Original();
  ASSERT_FALSE(original.empty());
  const bool big = original.size() > 2000;
  for (size_t pos = 0; pos < original.size(); pos += big ? original.size() / 400 : 1) {
    Exercise(dir_, original.substr(0, pos));
    std::string bytes = original;
    bytes[pos] = static_cast<char>(bytes[pos] ^ 0xFF);
    Exercise(dir_, bytes);
    bytes = original;
    for (size_t i = pos; i < pos + 8 && i < bytes.size(); ++i) bytes[i] = 0;
    Exercise(dir_, bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Damage,
                         ::testing::Values("words_tiny", "shorthand", "info_partial", "keys_only", "recscrambled",
                                           "bigendian", "longstrings"));

}  // namespace
