// The options store: Config.ini keys, defaults, encodings, the dictionary
// flags and the first-run flag.
#include "config/Config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/IniFile.h"
#include "platform/sim/SimDesktop.h"
#include "TestFiles.h"

namespace {

using configtest::ReadFile;
using configtest::WriteFile;
using platform::sim::SimRegistry;

class ConfigTest : public configtest::ConfigFixture {
 protected:
  std::string ConfigIni() const { return dir.File("Config.ini"); }
  std::string Key(const char* section, const char* key) {
    return CIniFile(ConfigIni().c_str()).GetString(section, key, "<absent>");
  }
  void SaveAll(CConfig& c) {
    c.SaveAutoLearn();
    c.SaveHotKeys();
    c.SaveOthers();
  }
};

TEST(ConfigAppDir, IsTheExecutablesFolder) {
  EXPECT_EQ(CConfig::AppDirOf("C:\\Program Files\\Quillet\\Quillet.exe"), "C:\\Program Files\\Quillet\\");
  EXPECT_EQ(CConfig::AppDirOf("Quillet.exe"), "Quillet.exe");
  platform::sim::SimDesktop desktop;
  platform::sim::SimProcesses processes;
  CConfig c(desktop, processes);
  std::string exe = platform::CurrentExecutablePath();
  ASSERT_FALSE(c.strAppDir.empty());
  EXPECT_EQ(exe.compare(0, c.strAppDir.size(), c.strAppDir), 0);
  EXPECT_TRUE(c.strAppDir.back() == '\\' || c.strAppDir.back() == '/');
}

TEST_F(ConfigTest, NoFilesLeaveEveryDefaultAndSavingWritesTheWholeLayout) {
  config.nMaxItemShow = 9;
  config.vkSelectPrev = 0x41;
  EXPECT_EQ(config.LoadAll(), 1);
  EXPECT_EQ(config.nMaxItemShow, 5);   // absent number: the default overwrites
  EXPECT_EQ(config.vkSelectPrev, 0x41);  // absent byte key: the field stays
  EXPECT_EQ(config.dwEnableHoam, 131188u);
  EXPECT_EQ(config.strSeparate, CConfig::kDefaultSeparators);
  EXPECT_FALSE(configtest::Exists(ConfigIni()));
  config.vkSelectPrev = 0x26;  // saving the defaults writes the whole layout
  SaveAll(config);
  EXPECT_EQ(ReadFile(ConfigIni()),
            "[AutoLearn]\r\n"
            "bEanbleAutolearn=1\r\n"
            "nMinLearnLength=0\r\n"
            "strSeparate=; ',.!\"?\r\n"
            "bLearnKnownWords=1\r\n"
            "[HotKeys]\r\n"
            "vkSelectIndex=70717273747576777879\r\n"
            "vkSelectPrev=26\r\n"
            "vkSelectNext=28\r\n"
            "vkSelectPageDown=22\r\n"
            "vkSelectPageUp=21\r\n"
            "vkSelect=090DFFFFFFFFFFFFFFFF\r\n"
            "dwEnableHoam=131188\r\n"
            "[Others]\r\n"
            "bEnableShorthand=1\r\n"
            "bEnableWord=1\r\n"
            "bEnablePhrase=1\r\n"
            "nMinInput=1\r\n"
            "nMinWordLength=1\r\n"
            "nMaxWordLength=500\r\n"
            "nMaxItemShow=5\r\n"
            "bCommonFirst=1\r\n"
            "bFixTypos=1\r\n");
}

TEST_F(ConfigTest, EverySavedValueLoadsBack) {
  config.bEnableAutolearn = 0;
  config.nMinLearnLength = -1;
  config.strSeparate = "-+";
  config.vkSelectPrev = 0xdb;
  config.vkSelectNext = 0xdd;
  config.vkSelectPageDown = 0xbb;
  config.vkSelectPageUp = 0xbd;
  for (int i = 0; i < 10; ++i) config.vkSelectIndex[i] = std::uint8_t(0x30 + i);
  config.vkSelect[2] = 0x20;
  config.dwEnableHoam = 0x00060070;  // the hotkey chosen on the page survives a restart
  config.bEnableShorthand = 0;
  config.bEnableWord = 0;
  config.bEnablePhrase = 0;
  config.nMinInput = 3;
  config.nMinWordLength = 4;
  config.nMaxWordLength = 40;
  config.nMaxItemShow = 10;
  SaveAll(config);
  const std::string saved = ReadFile(ConfigIni());
  EXPECT_EQ(Key("AutoLearn", "nMinLearnLength"), "-1");
  EXPECT_EQ(Key("HotKeys", "dwEnableHoam"), "393328");
  // Every field read back is written again as it was.
  reread.LoadAll();
  std::remove(ConfigIni().c_str());
  SaveAll(reread);
  EXPECT_EQ(ReadFile(ConfigIni()), saved);
  EXPECT_EQ(reread.dwEnableHoam, 0x00060070u);
  EXPECT_EQ(reread.nMaxItemShow, 10);
}

TEST_F(ConfigTest, ShortByteKeyOverwritesOnlyTheLeadingBytes) {
  WriteFile(ConfigIni(), "[HotKeys]\r\nvkSelectIndex=3132\r\nvkSelect=31G2\r\nvkSelectPrev=4142\r\n");
  config.LoadHotKeys();
  const std::uint8_t index[10] = {0x31, 0x32, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79};
  const std::uint8_t select[10] = {9, 13, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
  EXPECT_EQ(std::memcmp(config.vkSelectIndex, index, 10), 0);
  EXPECT_EQ(std::memcmp(config.vkSelect, select, 10), 0);
  EXPECT_EQ(config.vkSelectPrev, 0x41);
}

TEST_F(ConfigTest, OnlyTheMisspeltAutoLearnKeyCounts) {
  WriteFile(ConfigIni(), "[AutoLearn]\r\nbEnableAutolearn=1\r\nbEanbleAutolearn=no\r\n");
  config.LoadAutoLearn();
  EXPECT_EQ(config.bEnableAutolearn, 0);
  WriteFile(ConfigIni(), "[AutoLearn]\r\nbEnableAutolearn=0\r\nbEanbleAutolearn=Yes\r\n");
  config.LoadAutoLearn();
  EXPECT_EQ(config.bEnableAutolearn, 1);
}

TEST_F(ConfigTest, DamagedOrUnreadableConfigGivesDefaultsForWhatCannotBeRead) {
  WriteFile(ConfigIni(), "\xEF\xBB\xBF" + configtest::Junk(2000, 37, 11) +
                              "\r[Others]\rnMaxItemShow=8\rnMinInput\r[Others]\rnMinInput=4\r" +
                              std::string(100000, 'z') + "\n[HotKeys]\ndwEnableHoam=12abc\n");
  config.LoadAll();
  EXPECT_EQ(config.nMaxItemShow, 8);
  EXPECT_EQ(config.nMinInput, 1);
  EXPECT_EQ(config.dwEnableHoam, 12u);
  EXPECT_EQ(config.nMaxWordLength, 500);
  // A folder in place of the file: nothing can be read.
  std::remove(ConfigIni().c_str());
  std::filesystem::create_directories(ConfigIni());
  config.nMinInput = 7;
  config.LoadAll();
  EXPECT_EQ(config.nMinInput, 1);
  EXPECT_EQ(config.SaveOthers(), 1);  // the failure is not reported
}

// ---- dictionary flags --------------------------------------------------------------

TEST_F(ConfigTest, DictionaryFlagsDefaultToEnabledAndNewOnesTakeTheFirstFreeKey) {
  EXPECT_TRUE(config.IsDictEnabled("C:\\libs\\a.lib"));
  EXPECT_TRUE(config.IsDictEnabled(""));
  EXPECT_FALSE(config.SetDictEnabled("", false));
  EXPECT_FALSE(configtest::Exists(ConfigIni()));
  WriteFile(ConfigIni(), "[DBS]\r\nDB1=C:\\x.lib\r\n");
  EXPECT_TRUE(config.IsDictEnabled("C:\\x.lib"));
  // New flags are numbered from the first free key.
  WriteFile(ConfigIni(), "[DBS]\r\nDB1=C:\\libs\\one.lib\r\nDB1-B=1\r\nDB3=C:\\libs\\three.lib\r\nDB3-B=0\r\n");
  EXPECT_TRUE(config.SetDictEnabled("C:\\libs\\two.lib", false));
  EXPECT_EQ(Key("DBS", "DB2"), "C:\\libs\\two.lib");
  EXPECT_EQ(Key("DBS", "DB2-B"), "0");
  EXPECT_FALSE(config.IsDictEnabled("c:\\LIBS\\TWO.LIB"));
  EXPECT_FALSE(config.IsDictEnabled("C:\\libs\\three.lib"));
  EXPECT_TRUE(config.IsDictEnabled("C:\\libs\\one.lib"));
  EXPECT_TRUE(config.SetDictEnabled("C:\\LIBS\\THREE.LIB", true));
  EXPECT_TRUE(config.IsDictEnabled("C:\\libs\\three.lib"));
  EXPECT_EQ(Key("DBS", "DB4"), "<absent>");
  EXPECT_TRUE(config.SetDictEnabled("C:\\libs\\four.lib", true));
  EXPECT_EQ(Key("DBS", "DB4"), "C:\\libs\\four.lib");
  EXPECT_EQ(Key("DBS", "DB4-B"), "1");
}

// ---- first run ----------------------------------------------------------------------

TEST(FirstRun, FirstStartWritesZeroAndTheSecondFindsIt) {
  SimRegistry registry;
  std::uint32_t flag = 1;
  UpdateFirstRunFlag(registry, flag);
  EXPECT_EQ(flag, 1u);
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(registry.Value(platform::RegistryRoot::LocalMachine, "SOFTWARE\\Quillet Pro\\Option",
                             "bFirstRun", bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(registry.writeCount(), 1);
  flag = 1;
  UpdateFirstRunFlag(registry, flag);
  EXPECT_EQ(flag, 0u);
  EXPECT_EQ(registry.writeCount(), 1);
  // Without the key the flag keeps its value.
  SimRegistry unavailable;
  unavailable.SetUnavailable(true);
  flag = 1;
  UpdateFirstRunFlag(unavailable, flag);
  EXPECT_EQ(flag, 1u);
  EXPECT_EQ(unavailable.writeCount(), 0);
  // The system's registry. Windows: whatever an earlier start left, the flag
  // is 0 from the second check on. posix: there is no registry, so the flag
  // keeps its value.
  flag = 1;
  UpdateFirstRunFlag(platform::SystemRegistry(), flag);
  flag = 1;
  UpdateFirstRunFlag(platform::SystemRegistry(), flag);
#ifdef _WIN32
  EXPECT_EQ(flag, 0u);
#else
  EXPECT_EQ(flag, 1u);
#endif
}

}  // namespace
