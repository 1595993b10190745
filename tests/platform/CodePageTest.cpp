// Code-page layer: the same expectations hold for the iconv backend and for
// the Windows backend under the system's code page. Tests that need a
// double-byte code page run wherever that code page can be selected (always
// on Linux; on Windows only when it is the system's).
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <string>

#include "common/CodePage.h"

namespace {

using platform::AnsiCodePage;
using platform::SetAnsiCodePage;

// Selects a code page for one test and restores the previous one after it.
class CodePageTest : public ::testing::Test {
 protected:
  bool Use(int codePage) { return scope_.Use(codePage); }

 private:
  testutil::CodePageScope scope_;
};

#define USE_CODE_PAGE(cp)                                                            \
  do {                                                                              \
    if (!Use(cp)) GTEST_SKIP() << "code page " #cp " is not the system's code page"; \
  } while (0)

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

// --- Western code page 1252 -------------------------------------------------

class Cp1252 : public CodePageTest {};

TEST_F(Cp1252, ConvertsEveryByteHasNoLeadBytesAndMarksWhatItLacks) {
  USE_CODE_PAGE(1252);
  const std::string ansi = "caf\xe9 \x80";
  EXPECT_EQ(platform::AnsiToUtf16(ansi), u"caf\u00e9 \u20ac");
  EXPECT_EQ(platform::AnsiToUtf8(ansi), "caf\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(platform::Utf8ToAnsi("caf\xc3\xa9 \xe2\x82\xac"), ansi);
  EXPECT_EQ(platform::Utf16ToAnsi(u"caf\u00e9 \u20ac"), ansi);
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::u16string wide = platform::AnsiToUtf16(all);
  EXPECT_EQ(wide.size(), all.size());
  EXPECT_EQ(platform::Utf16ToAnsi(wide), all);
  // The five bytes the code page leaves undefined map to the C1 controls.
  EXPECT_EQ(platform::AnsiToUtf16(Bytes({0x81, 0x8d, 0x8f, 0x90, 0x9d})), u"\u0081\u008d\u008f\u0090\u009d");
  EXPECT_EQ(platform::Utf16ToAnsi(u"a\u4e2db"), "a?b");
  // No look-alike substitutes: A with macron is not turned into A.
  EXPECT_EQ(platform::Utf16ToAnsi(u"\u0100"), "?");
  EXPECT_EQ(platform::Utf8ToAnsi("\xf0\x9f\x98\x80"), "?");  // one character beyond the BMP
  EXPECT_EQ(platform::Utf16ToAnsi(std::u16string{u'a', char16_t(0xD800), u'b'}), "a?b");
  for (int b = 0; b < 256; ++b) EXPECT_FALSE(platform::IsDbcsLeadByte(static_cast<unsigned char>(b))) << b;
}

TEST_F(Cp1252, LowerCasingAndComparisonCoverAccentedAndExtraLetters) {
  USE_CODE_PAGE(1252);
  for (int b = 1; b < 256; ++b) {
    int expected = b;
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) expected = b + 0x20;
    if (b == 0x8A || b == 0x8C || b == 0x8E) expected = b + 0x10;  // S, OE, Z with caron
    if (b == 0x9F) expected = 0xFF;                                 // Y with diaeresis
    const std::string lowered = platform::MbsLower(std::string(1, static_cast<char>(b)));
    ASSERT_EQ(lowered.size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(lowered[0]), expected) << "byte " << b;
  }
  EXPECT_EQ(platform::MbsCompareNoCase("\xc9LAN", "\xe9lan"), 0);
  EXPECT_EQ(platform::MbsCompareNoCase("Apple", "apple"), 0);
  EXPECT_LT(platform::MbsCompareNoCase("apple", "Banana"), 0);
  EXPECT_GT(platform::MbsCompareNoCase("b", "A"), 0);
  // Letters fold to lower case, so '_' (0x5F) sorts before every letter.
  EXPECT_LT(platform::MbsCompareNoCase("_x", "Ax"), 0);
  EXPECT_LT(platform::MbsCompareNoCase("ab", "abc"), 0);
  EXPECT_EQ(platform::MbsCompareNoCase(std::string_view("ab\0x", 4), "AB"), 0);
}

TEST_F(Cp1252, LetterTestsFollowTheCodePage) {
  USE_CODE_PAGE(1252);
  for (int b : std::initializer_list<int>{'a', 'Z', 0xE9, 0xC9, 0x83, 0x8A, 0x9F, 0xAA, 0xB5, 0xDF, 0xFF}) {
    EXPECT_TRUE(platform::IsCharAlpha(static_cast<unsigned char>(b))) << b;
    EXPECT_TRUE(platform::IsCharAlphaNumeric(static_cast<unsigned char>(b))) << b;
  }
  for (int b : std::initializer_list<int>{'0', '9', 0xB2, 0xB3, 0xB9}) {
    EXPECT_FALSE(platform::IsCharAlpha(static_cast<unsigned char>(b))) << b;
    EXPECT_TRUE(platform::IsCharAlphaNumeric(static_cast<unsigned char>(b))) << b;
  }
  for (int b : std::initializer_list<int>{' ', '_', '-', ',', '\r', 0, 0x80, 0x81, 0xA0, 0xD7, 0xF7, 0xBC}) {
    EXPECT_FALSE(platform::IsCharAlpha(static_cast<unsigned char>(b))) << b;
    EXPECT_FALSE(platform::IsCharAlphaNumeric(static_cast<unsigned char>(b))) << b;
  }
}

// --- The C runtime's ASCII-only rules ----------------------------------------

TEST(AsciiRules, OnlyAsciiLettersHaveACaseAndAreFolded) {
  EXPECT_TRUE(platform::IsAsciiUpper('A'));
  EXPECT_FALSE(platform::IsAsciiUpper('a'));
  EXPECT_FALSE(platform::IsAsciiUpper(0xC9));
  EXPECT_EQ(platform::AsciiToUpper('q'), 'Q');
  EXPECT_EQ(platform::AsciiToUpper(0xE9), 0xE9);
  EXPECT_EQ(platform::AsciiToUpper('1'), '1');
  EXPECT_EQ(platform::AsciiCompareNoCase("HeLLo", "hello"), 0);
  EXPECT_NE(platform::AsciiCompareNoCase("\xc9", "\xe9"), 0);
  EXPECT_LT(platform::AsciiCompareNoCase("_", "A"), 0);  // compares lower-cased
  EXPECT_LT(platform::AsciiCompareNoCase("abc", "abcd"), 0);
  EXPECT_GT(platform::AsciiCompareNoCase("\xe9", "z"), 0);  // unsigned bytes
  std::string text = "caf\xe9 42x";
  platform::AsciiUpperInPlace(text);
  EXPECT_EQ(text, "CAF\xe9 42X");
}

// --- UTF-8 and UTF-16 --------------------------------------------------------

TEST(Utf8, SurrogatePairsRoundTripAndInvalidSequencesAreReplaced) {
  const std::string smile = "\xf0\x9f\x98\x80";
  EXPECT_EQ(platform::Utf8ToUtf16(smile), u"\U0001F600");
  EXPECT_EQ(platform::Utf16ToUtf8(u"\U0001F600"), smile);
  EXPECT_EQ(platform::Utf8ToUtf16("a\xff" "b"), u"a\uFFFDb");
  EXPECT_EQ(platform::Utf8ToUtf16("a\xc3"), u"a\uFFFD");           // cut short at the end
  EXPECT_EQ(platform::Utf8ToUtf16("\xe2\x82z"), u"\uFFFDz");        // cut short before z
  EXPECT_EQ(platform::Utf8ToUtf16("\xc0\xaf"), u"\uFFFD\uFFFD");    // overlong
  EXPECT_EQ(platform::Utf8ToUtf16("\xed\xa0\x80"), u"\uFFFD");      // encoded surrogate
  EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
  EXPECT_TRUE(platform::AnsiToUtf16("").empty());
  EXPECT_TRUE(platform::Utf16ToAnsi(u"").empty());
  EXPECT_TRUE(platform::AnsiToUtf8("").empty());
  EXPECT_TRUE(platform::Utf8ToAnsi("").empty());
}

// --- Double-byte code pages --------------------------------------------------

class Cp932 : public CodePageTest {};

// Shift-JIS bytes used below.
const std::string kKatakanaA = Bytes({0x83, 0x41});         // katakana A: trail byte is 'A'
const std::string kKatakanaDi = Bytes({0x83, 0x61});        // katakana DI: trail byte is 'a'
const std::string kFullwidthAB = Bytes({0x82, 0x60, 0x82, 0x61});  // fullwidth A B
const std::string kFullwidthab = Bytes({0x82, 0x81, 0x82, 0x82});  // fullwidth a b
const std::string kGreekAlpha = Bytes({0x83, 0x9f});
const std::string kGreekalpha = Bytes({0x83, 0xbf});
const std::string kHalfwidthA = Bytes({0xb1});              // halfwidth katakana A: single byte

TEST_F(Cp932, LeadBytesAndConversionsFollowShiftJis) {
  USE_CODE_PAGE(932);
  EXPECT_TRUE(platform::IsDbcsLeadByte(0x81));
  EXPECT_TRUE(platform::IsDbcsLeadByte(0x9f));
  EXPECT_TRUE(platform::IsDbcsLeadByte(0xe0));
  EXPECT_TRUE(platform::IsDbcsLeadByte(0xfc));
  EXPECT_FALSE(platform::IsDbcsLeadByte('A'));
  EXPECT_FALSE(platform::IsDbcsLeadByte(0xa1));
  EXPECT_FALSE(platform::IsDbcsLeadByte(0xdf));
  EXPECT_EQ(platform::CharLength(kKatakanaA + "x", 0), 2u);
  EXPECT_EQ(platform::CharLength(kKatakanaA + "x", 2), 1u);
  EXPECT_EQ(platform::CharLength(std::string(1, '\x83'), 0), 1u);  // lead byte at the end
  EXPECT_EQ(platform::AnsiToUtf16(kKatakanaA + "x" + kHalfwidthA), u"\u30a2x\uff71");
  EXPECT_EQ(platform::AnsiToUtf8(kKatakanaA), "\xe3\x82\xa2");
  EXPECT_EQ(platform::Utf8ToAnsi("\xe3\x82\xa2"), kKatakanaA);
  EXPECT_EQ(platform::Utf16ToAnsi(u"\u00e9"), "?");
}

TEST_F(Cp932, CasingComparisonAndSearchRespectCharacterBoundaries) {
  USE_CODE_PAGE(932);
  EXPECT_EQ(platform::MbsLower("AB" + kKatakanaA + "C"), "ab" + kKatakanaA + "c");
  EXPECT_EQ(platform::MbsLower(kFullwidthAB), kFullwidthab);
  EXPECT_EQ(platform::MbsLower(kGreekAlpha), kGreekalpha);
  std::string text = "ab" + kKatakanaDi + "c";
  platform::AsciiUpperInPlace(text);
  EXPECT_EQ(text, "AB" + kKatakanaDi + "C");
  EXPECT_EQ(platform::MbsCompareNoCase(kFullwidthAB, kFullwidthab), 0);
  EXPECT_EQ(platform::MbsCompareNoCase("x" + kGreekAlpha, "X" + kGreekalpha), 0);
  // A single-byte character sorts before every double-byte one, even when
  // its byte is above the lead byte.
  EXPECT_LT(platform::MbsCompareNoCase(kHalfwidthA, kKatakanaA), 0);
  EXPECT_GT(platform::MbsCompareNoCase(kKatakanaA, kHalfwidthA), 0);
  EXPECT_EQ(platform::MbsFind(kKatakanaA, "A"), std::string::npos);
  EXPECT_EQ(platform::MbsFind(kKatakanaA + "A", "A"), 2u);
  EXPECT_EQ(platform::MbsFind("x" + kKatakanaA, kKatakanaA), 1u);
  EXPECT_EQ(platform::MbsFind("abc", ""), 0u);
  EXPECT_FALSE(platform::IsCharAlpha(0x83));
  EXPECT_FALSE(platform::IsCharAlphaNumeric(0x83));
  EXPECT_TRUE(platform::IsCharAlpha(0xb1));  // halfwidth katakana A
  EXPECT_TRUE(platform::IsCharAlpha('k'));
}

// Wherever the code page can be selected.
TEST_F(CodePageTest, OtherDoubleByteCodePagesRoundTrip) {
  if (Use(936)) {
    const std::string zhong = Bytes({0xd6, 0xd0});
    EXPECT_TRUE(platform::IsDbcsLeadByte(0xd6));
    EXPECT_EQ(platform::AnsiToUtf16(zhong), u"\u4e2d");
    EXPECT_EQ(platform::AnsiToUtf8(zhong), "\xe4\xb8\xad");
    EXPECT_EQ(platform::Utf8ToAnsi("\xe4\xb8\xad"), zhong);
  }
  if (Use(949)) {
    const std::string han = Bytes({0xc7, 0xd1});
    EXPECT_EQ(platform::AnsiToUtf16(han), u"\ud55c");
    EXPECT_EQ(platform::Utf16ToAnsi(u"\ud55c"), han);
  }
  if (Use(950)) {
    const std::string zhong = Bytes({0xa4, 0xa4});
    EXPECT_EQ(platform::AnsiToUtf16(zhong), u"\u4e2d");
    EXPECT_EQ(platform::Utf16ToAnsi(u"\u4e2d"), zhong);
    // 0x5C can be a trail byte in Big5; it must not be matched as a backslash.
    const std::string gong = Bytes({0xa5, 0x5c});
    EXPECT_EQ(platform::AnsiToUtf16(gong), u"\u529f");
    EXPECT_EQ(platform::MbsFind(gong, "\\"), std::string::npos);
  }
}

// --- Choosing the code page ---------------------------------------------------

TEST_F(CodePageTest, UnknownCodePageIsRefusedAndSwitchingChangesTheTables) {
  const int before = AnsiCodePage();
  EXPECT_FALSE(SetAnsiCodePage(999999));
  EXPECT_EQ(AnsiCodePage(), before);
  EXPECT_TRUE(SetAnsiCodePage(before));
  // Switching the code page changes the tables.
  USE_CODE_PAGE(932);
  EXPECT_TRUE(platform::IsDbcsLeadByte(0x83));
  USE_CODE_PAGE(1252);
  EXPECT_FALSE(platform::IsDbcsLeadByte(0x83));
  EXPECT_EQ(platform::MbsLower(kKatakanaA), Bytes({0x83, 0x61}));  // now two single bytes
}

}  // namespace
