// Typed reads and writes of CIniFile, on top of either profile backend.
#include "config/IniFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"

namespace {

using configtest::List;
using configtest::ReadFile;
using configtest::TempDir;
using configtest::WriteFile;
using Bytes = std::vector<unsigned char>;

class IniFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.File("typed.ini");
  CIniFile ini{path.c_str()};

  std::string Raw(const char* section, const char* key) { return ini.GetString(section, key, "<absent>"); }
};

// ---- path ---------------------------------------------------------------------

TEST(IniFilePath, KeepsItsOwnCopyOfThePath) {
  std::string p = "some/file.ini";
  CIniFile ini(p.c_str());
  p[0] = 'X';
  EXPECT_EQ(ini.GetPathName(), "some/file.ini");
  char buffer[8] = {};
  EXPECT_EQ(ini.GetPathName(buffer, sizeof buffer), 13u);
  EXPECT_STREQ(buffer, "some/fi");
  CIniFile copy = ini;
  ini.SetPathName(nullptr);
  EXPECT_EQ(ini.GetPathName(), "");
  EXPECT_EQ(copy.GetPathName(), "some/file.ini");
}

// ---- text -----------------------------------------------------------------------

TEST_F(IniFileTest, NullSectionOrKeyTouchesNothingAndANullValueWritesAnEmptyOne) {
  EXPECT_FALSE(ini.WriteString(nullptr, "k", "v"));
  EXPECT_FALSE(ini.WriteString("s", nullptr, "v"));
  EXPECT_FALSE(ini.WriteInt(nullptr, "k", 1));
  EXPECT_EQ(ini.GetString(nullptr, "k", "d"), "");
  EXPECT_EQ(ini.GetInt("s", nullptr, 5), 5);
  EXPECT_FALSE(ini.IsKeyExist(nullptr, "k"));
  EXPECT_FALSE(configtest::Exists(path));
  // A null value writes an empty one; appending adds to the value.
  ini.WriteString("S", "k", nullptr);
  EXPECT_TRUE(ini.IsKeyExist("S", "k"));
  EXPECT_EQ(ini.GetString("S", "k", "d"), "");
  ini.WriteString("S", "k", "ab");
  ini.AppendString("S", "k", "cd");
  ini.AppendString("S", "k", nullptr);
  ini.AppendString("S", "new", "x");
  EXPECT_EQ(Raw("S", "k"), "abcd");
  EXPECT_EQ(Raw("S", "new"), "x");
}

TEST_F(IniFileTest, LongValueIsReadWholeAndABufferedReadCutsWithoutTerminator) {
  for (std::size_t n : {511u, 512u, 513u, 1024u, 5000u}) {
    std::string value(n, 'v');
    value.back() = 'e';
    ini.WriteString("S", "k", value.c_str());
    EXPECT_EQ(ini.GetString("S", "k"), value) << n;
  }
  ini.WriteString("S", "k", "abcdef");
  char buffer[8] = "ZZZZZZZ";
  EXPECT_EQ(ini.GetString("S", "k", buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 5), "abcdZ");
  EXPECT_EQ(ini.GetString("S", "k", buffer, 7), 6u);
  EXPECT_STREQ(buffer, "abcdef");
}

// ---- sections and keys -----------------------------------------------------------

TEST_F(IniFileTest, EmptyListsAreASingleNulListsGrowAndAKeyNeedsAnEqualsSignAfterItsStart) {
  EXPECT_EQ(ini.GetSectionNames(), std::string(1, '\0'));
  EXPECT_EQ(ini.GetKeyLines("S"), std::string(1, '\0'));
  std::vector<std::string> names{"stale"};
  ini.GetKeyNames("S", names);
  EXPECT_TRUE(names.empty());
  std::vector<std::string> expected;
  for (int i = 0; i < 200; ++i) {
    expected.push_back("Section" + std::to_string(i));
    ini.WriteString(expected.back().c_str(), "k", "v");
  }
  EXPECT_EQ(ini.GetSectionNames(), List(expected));
  // A key needs an equals sign after the start of its line.
  WriteFile(path, "[S]\r\nempty=\r\nfull=1\r\nnovalue\r\n");
  EXPECT_TRUE(ini.IsKeyExist("S", "empty"));
  EXPECT_TRUE(ini.IsKeyExist("s", "FULL"));
  EXPECT_FALSE(ini.IsKeyExist("S", "absent"));
  EXPECT_FALSE(ini.IsKeyExist("S", "novalue"));
  EXPECT_TRUE(ini.IsSectionExist("s"));
  EXPECT_FALSE(ini.IsSectionExist("T"));
  WriteFile(path, "[S]\r\n  k1  =  v1\r\n=start\r\nno equals\r\nk2=a=b\r\n");
  ini.GetKeyNames("S", names);
  EXPECT_EQ(names, (std::vector<std::string>{"k1", "k2"}));
  EXPECT_EQ(ini.GetKeyNames("S"), List({"k1", "k2"}));
}

TEST_F(IniFileTest, CopyMoveAndDelete) {
  WriteFile(path, "[A]\r\nk=1\r\n[B]\r\nold=0\r\n");
  EXPECT_FALSE(ini.CopySection("A", "a", false));
  EXPECT_FALSE(ini.CopySection("Missing", "C", false));
  EXPECT_FALSE(ini.CopySection("A", "B", true));
  EXPECT_TRUE(ini.CopySection("A", "B", false));
  std::vector<std::string> lines;
  ini.GetKeyLines("B", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"k=1"}));
  EXPECT_TRUE(ini.MoveSection("A", "C"));
  EXPECT_FALSE(ini.IsSectionExist("A"));
  EXPECT_EQ(Raw("C", "k"), "1");
  WriteFile(path, "[A]\r\nk=1\r\nj=2\r\n");
  EXPECT_FALSE(ini.CopyKey("A", "k", "a", "K", false));
  EXPECT_FALSE(ini.CopyKey("A", "missing", "B", "k", false));
  EXPECT_FALSE(ini.CopyKey("A", "k", "A", "j", true));
  EXPECT_TRUE(ini.CopyKey("A", "k", "A", "j", false));
  EXPECT_EQ(Raw("A", "j"), "1");
  EXPECT_TRUE(ini.MoveKey("A", "k", "B", "m"));
  EXPECT_FALSE(ini.IsKeyExist("A", "k"));
  EXPECT_EQ(Raw("B", "m"), "1");
}

// ---- numbers ------------------------------------------------------------------------

TEST_F(IniFileTest, WritesInEachBaseSignedOnlyInTwoEightOrSixteen) {
  ini.WriteUInt("N", "b2", 5, 2);
  ini.WriteUInt("N", "zero", 0, 2);
  ini.WriteUInt("N", "max", 0xffffffffu, 2);
  ini.WriteUInt("N", "b8", 8, 8);
  ini.WriteUInt("N", "b16", 0xabcu, 16);
  ini.WriteUInt("N", "b10", 4000000000u, 10);
  ini.WriteInt("N", "hex", -1, 16);
  ini.WriteInt("N", "dec", -1, 10);
  ini.WriteInt("N", "b7", 49, 7);
  EXPECT_EQ(ReadFile(path), "[N]\r\nb2=101\r\nzero=0\r\nmax=" + std::string(32, '1') +
                                "\r\nb8=10\r\nb16=ABC\r\nb10=4000000000\r\n"
                                "hex=FFFFFFFF\r\ndec=-1\r\nb7=49\r\n");
}

TEST_F(IniFileTest, IntegerReadsAndIncreases) {
  WriteFile(path, "[N]\r\nff=ff\r\nbin=101\r\nneg=-5\r\nd=42abc\r\nempty=\r\nbig=99999999999\r\nx=0x1F\r\n");
  EXPECT_EQ(ini.GetInt("N", "ff", 0, 16), 255);
  EXPECT_EQ(ini.GetInt("N", "ff", 7, 10), 0);
  EXPECT_EQ(ini.GetInt("N", "bin", 0, 2), 5);
  EXPECT_EQ(ini.GetInt("N", "bin", 0, 7), 101);
  EXPECT_EQ(ini.GetInt("N", "neg", 0), -5);
  EXPECT_EQ(ini.GetUInt("N", "neg", 0), 0xfffffffbu);
  EXPECT_EQ(ini.GetInt("N", "d", 0), 42);
  EXPECT_EQ(ini.GetInt("N", "empty", 9), 9);
  EXPECT_EQ(ini.GetUInt("N", "big", 0), 0xffffffffu);
  EXPECT_EQ(ini.GetInt("N", "x", 0, 16), 31);
  ini.WriteString("N", "long", (std::string(64, '0') + "7").c_str());
  EXPECT_EQ(ini.GetInt("N", "long", 5), 0);
  ini.IncreaseInt("N", "count", 3);
  ini.IncreaseInt("N", "count", -5);
  EXPECT_EQ(Raw("N", "count"), "-2");
  ini.WriteUInt("N", "h", 0xfe, 16);
  ini.IncreaseUInt("N", "h", 1, 16);
  EXPECT_EQ(Raw("N", "h"), "FF");
}

TEST_F(IniFileTest, Booleans) {
  WriteFile(path, "[B]\r\na=YES\r\nb=True\r\nc=1\r\nd=no\r\ne=false\r\nf=0\r\ng=abc\r\nh=-2\r\ni=\r\n");
  for (const char* key : {"a", "b", "c", "h"}) EXPECT_TRUE(ini.GetBool("B", key, false)) << key;
  for (const char* key : {"d", "e", "f", "g"}) EXPECT_FALSE(ini.GetBool("B", key, true)) << key;
  EXPECT_TRUE(ini.GetBool("B", "i", true));
  EXPECT_FALSE(ini.GetBool("B", "absent", false));
  ini.WriteBool("B", "t", true);
  ini.WriteBool("B", "f", false);
  EXPECT_EQ(Raw("B", "t") + Raw("B", "f"), "10");
  ini.InvertBool("B", "t");
  ini.InvertBool("B", "absent");
  EXPECT_EQ(Raw("B", "t") + Raw("B", "absent"), "01");
}

TEST_F(IniFileTest, DoublesAndCharacters) {
  ini.WriteDouble("D", "plain", 1.5);
  ini.WriteDouble("D", "p2", 3.14159, 2);
  EXPECT_EQ(Raw("D", "plain"), "1.500000");
  EXPECT_EQ(Raw("D", "p2"), "3.14");
  EXPECT_DOUBLE_EQ(ini.GetDouble("D", "p2", 0), 3.14);
  EXPECT_DOUBLE_EQ(ini.GetDouble("D", "absent", 2.5), 2.5);
  ini.IncreaseDouble("D", "p2", 1, 1);
  EXPECT_EQ(Raw("D", "p2"), "4.1");
  ini.WriteChar("C", "c", 'q');
  WriteFile(path, ReadFile(path) + "w=word\r\n");
  EXPECT_EQ(Raw("C", "c"), "q");
  EXPECT_EQ(ini.GetChar("C", "c", 'x'), 'q');
  EXPECT_EQ(ini.GetChar("C", "w", 'x'), 'w');
  EXPECT_EQ(ini.GetChar("C", "absent", 'x'), 'x');
}

// ---- binary -------------------------------------------------------------------------

TEST_F(IniFileTest, DataBlocksPointsAndRectanglesAreUpperCaseHexInMemoryOrder) {
  const unsigned char bytes[] = {0x00, 0x1f, 0xa0, 0xff};
  ini.WriteDataBlock("H", "k", bytes, 4);
  EXPECT_EQ(Raw("H", "k"), "001FA0FF");
  EXPECT_FALSE(ini.WriteDataBlock("H", "null", nullptr, 4));
  EXPECT_FALSE(ini.IsKeyExist("H", "null"));
  ini.AppendDataBlock("H", "k", bytes + 3, 1);
  EXPECT_EQ(Raw("H", "k"), "001FA0FFFF");
  WriteFile(path, "[H]\r\nodd=0A0b0\r\nbad=0G\r\n");
  unsigned char buffer[8] = {0xee, 0xee, 0xee, 0xee, 0xee, 0xee, 0xee, 0xee};
  EXPECT_EQ(ini.GetDataBlock("H", "odd", buffer, 8), 2u);
  EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{10, 11, 0xee}));
  EXPECT_EQ(ini.GetDataBlock("H", "bad", buffer, 8), 0u);
  EXPECT_EQ(buffer[0], 10);
  EXPECT_EQ(ini.GetDataBlock("H", "odd", buffer, 8, 1), 1u);
  EXPECT_EQ(buffer[0], 11);
  EXPECT_EQ(ini.GetDataBlock("H", "odd", buffer, 8, 2), 0u);
  EXPECT_EQ(ini.GetDataBlock("H", "odd", nullptr, 0), 2u);
  EXPECT_EQ(ini.GetDataBlock("H", "odd", buffer, 1), 1u);
  // Points and rectangles are blocks of 32-bit numbers.
  ini.WritePoint("P", "pt", IniPoint{-1, 300});
  ini.WriteRect("P", "rc", IniRect{1, 2, 3, -4});
  EXPECT_EQ(Raw("P", "pt"), "FFFFFFFF2C010000");
  EXPECT_EQ(ini.GetPoint("P", "pt", IniPoint{}), (IniPoint{-1, 300}));
  EXPECT_EQ(ini.GetRect("P", "rc", IniRect{}), (IniRect{1, 2, 3, -4}));
  ini.WriteString("P", "short", "0102");
  EXPECT_EQ(ini.GetPoint("P", "short", IniPoint{7, 8}), (IniPoint{7, 8}));
  EXPECT_EQ(ini.GetRect("P", "pt", IniRect{9, 9, 9, 9}), (IniRect{9, 9, 9, 9}));
}

// ---- arrays -------------------------------------------------------------------------

TEST_F(IniFileTest, ArraysJoinSplitTrimAndDropEmptyPieces) {
  const std::vector<std::string> source{"a", "b", "c"};
  ini.WriteArray("A", "all", source);
  ini.WriteArray("A", "two", source, 2, ";");
  ini.WriteArray("A", "many", source, 10, "");
  EXPECT_EQ(Raw("A", "all"), "a,b,c");
  EXPECT_EQ(Raw("A", "two"), "a;b");
  EXPECT_EQ(Raw("A", "many"), "a,b,c");
  WriteFile(path, "[A]\r\nv= a , ,b,,c \r\nm=x::y::\r\n");
  std::vector<std::string> items;
  ini.GetArray("A", "v", items);
  EXPECT_EQ(items, (std::vector<std::string>{"a", "b", "c"}));
  ini.GetArray("A", "m", items, "::");
  EXPECT_EQ(items, (std::vector<std::string>{"x", "y"}));
  ini.GetArray("A", "v", items, "");
  EXPECT_EQ(items, (std::vector<std::string>{"a , ,b,,c"}));
  char buffer[32];
  EXPECT_EQ(ini.GetArray("A", "v", buffer, sizeof buffer, ",", false), 9u);
  EXPECT_EQ(std::string(buffer, 10), std::string("a \0 \0b\0c\0\0", 10));
  // Pieces that no longer fit are left out.
  EXPECT_EQ(ini.GetArray("A", "v", buffer, 5), 4u);
  EXPECT_EQ(std::string(buffer, 5), std::string("a\0b\0\0", 5));
}

}  // namespace
