// The option pages' models: the Hotkeys page's keys (list order, radios
// through the keyboard layout), the Others page's ranges and what counts as a
// change, and the Options dialog's start page.
#include "config/OptionPages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimInput.h"

namespace {

using config::CHotkeyPageModel;
using config::COthersPageModel;

std::vector<std::uint8_t> AcceptKeys(const CHotkeyPageModel& page) {
  return std::vector<std::uint8_t>(std::begin(page.vkSelect), std::end(page.vkSelect));
}

// Rows of the sorted list: CTRL, RETURN, SHIFT, SPACE, TAB.
TEST(HotkeyPage, AcceptKeysFollowTheListOrderNotTheClicks) {
  struct Case {
    std::vector<bool> selected;
    std::vector<std::uint8_t> first;  // the leading accept keys; the rest are 0xFF
  } cases[] = {
      {{false, false, false, true, true}, {32, 9}},        // SPACE + TAB
      {{true, false, false, false, true}, {17, 9}},        // TAB, then CTRL
      {{false, false, false, false, false}, {}},           // nothing selected
      {{true, true, true, true, true}, {17, 13, 16, 32, 9}},
  };
  for (const Case& c : cases) {
    CHotkeyPageModel page;
    page.SetAcceptSelection(c.selected);
    std::vector<std::uint8_t> expected = c.first;
    expected.resize(10, 0xFF);
    EXPECT_EQ(AcceptKeys(page), expected);
    EXPECT_EQ(page.AcceptSelection(), c.selected);  // and the list shows them again
  }
}

TEST(HotkeyPage, RadiosMapToKeysThroughTheLayout) {
  platform::sim::SimDesktop desktop;
  platform::sim::SimClipboard clipboard;
  platform::sim::SimKeyboard keyboard(desktop, clipboard);
  CHotkeyPageModel page;
  page.UseMinusPlusKeys(keyboard);
  EXPECT_EQ(page.vkSelectPageDown, 0xBD);
  EXPECT_EQ(page.vkSelectPageUp, 0xBB);
  EXPECT_FALSE(page.PageKeys());
  page.UseBracketKeys(keyboard);
  EXPECT_EQ(page.vkSelectPrev, 0xDB);
  EXPECT_EQ(page.vkSelectNext, 0xDD);
  EXPECT_FALSE(page.ArrowKeys());
  EXPECT_TRUE(page.changed);

  page.UseFunctionIndexKeys();
  EXPECT_EQ(page.vkSelectIndex[0], 0x70);
  EXPECT_EQ(page.vkSelectIndex[9], 0x79);
  EXPECT_FALSE(page.DigitIndexKeys());
  page.UseDigitIndexKeys();
  EXPECT_EQ(page.vkSelectIndex[9], 0x30);
  EXPECT_TRUE(page.DigitIndexKeys());
  // Any first index key other than 1 shows the function-key radio.
  page.vkSelectIndex[0] = 0x32;
  EXPECT_FALSE(page.DigitIndexKeys());
}

TEST(OthersPage, NumbersAreTakenOnlyWhenAllAreInRange) {
  struct Case {
    std::string texts[4];
    int refused;  // -1: taken
  } cases[] = {
      {{"1", "1", "4", "10"}, -1},
      {{" 10000", "10000 ", "10000", "1"}, -1},
      {{"2", "3", "500", "0"}, COthersPageModel::kMaxItemShow},  // rows 0
      {{"2", "3", "3", "5"}, COthersPageModel::kMaxWordLength},  // 4 is the least
      {{"0", "3", "500", "5"}, COthersPageModel::kMinInput},
      {{"2", "x", "500", "5"}, COthersPageModel::kMinWordLength},
      {{"2", "", "500", "5"}, COthersPageModel::kMinWordLength},
      {{"2", "3", "99999999999", "5"}, COthersPageModel::kMaxWordLength},
      {{"2", "3", "5 0", "5"}, COthersPageModel::kMaxWordLength},
  };
  for (const Case& c : cases) {
    COthersPageModel page;
    const auto refused = page.Take(c.texts);
    if (c.refused < 0) {
      EXPECT_FALSE(refused.has_value()) << c.texts[0] << "," << c.texts[3];
    } else {
      ASSERT_TRUE(refused.has_value());
      EXPECT_EQ(*refused, c.refused);
      // Nothing of a refused page is kept.
      EXPECT_EQ(page.numbers[COthersPageModel::kMaxWordLength], 500);
      EXPECT_EQ(page.numbers[COthersPageModel::kMaxItemShow], 5);
    }
    EXPECT_FALSE(page.changed);  // numbers never count as a change
  }
}

TEST(OptionPages, OnlyADifferentHotkeyOrACheckBoxIsAChangeAndBothReachTheStore) {
  platform::sim::SimDesktop desktop;
  platform::sim::SimProcesses processes;
  CConfig config(desktop, processes);
  CHotkeyPageModel page;
  page.Load(config);
  page.SetToggleHotkey(config.dwEnableHoam);
  EXPECT_FALSE(page.changed);
  page.SetToggleHotkey(0x00010075);  // Shift+F6
  EXPECT_TRUE(page.changed);
  page.Store(config);
  EXPECT_EQ(config.dwEnableHoam, 0x00010075u);
  EXPECT_EQ(config.vkSelectIndex[0], 0x70);  // loaded from the store, kept
  // The Others page: check boxes are changes and reach the store.
  COthersPageModel others;
  others.Load(config);
  EXPECT_FALSE(others.changed);
  others.SetCheck(others.bEnablePhrase, false);
  EXPECT_TRUE(others.changed);
  const std::string texts[4] = {"2", "3", "40", "3"};
  ASSERT_FALSE(others.Take(texts).has_value());
  others.Store(config);
  EXPECT_EQ(config.bEnablePhrase, 0);
  EXPECT_EQ(config.nMinInput, 2);
  EXPECT_EQ(config.nMaxWordLength, 40);
  EXPECT_EQ(config.nMaxItemShow, 3);
}

TEST(OptionsDialog, StartPageByItsTreeText) {
  EXPECT_EQ(config::StartPageFor("AutoLearn", "AutoLearn", "Others"), config::OptionsPage::kAutoLearn);
  EXPECT_EQ(config::StartPageFor("Others", "AutoLearn", "Others"), config::OptionsPage::kOthers);
  EXPECT_EQ(config::StartPageFor("Hotkeys", "AutoLearn", "Others"), config::OptionsPage::kHotkeys);
  EXPECT_EQ(config::StartPageFor("autolearn", "AutoLearn", "Others"), config::OptionsPage::kHotkeys);
}

}  // namespace

// The progress window shared by the long dialog tasks.
#include "config/ProgressModel.h"

namespace {

TEST(ProgressWindow, TitlePercentAndPlace) {
  CProgressModel progress;
  progress.title = "Quillet";
  progress.SetRange(0, 200, 1);
  EXPECT_TRUE(progress.SetPos(50));
  EXPECT_EQ(progress.TitleText(), "Quillet [25%]");
  EXPECT_FALSE(progress.SetPos(51));  // the bar moves, the title stays
  EXPECT_EQ(progress.Position(), 51);
  progress.SetRange(10, 10, 1);
  progress.SetPos(5);
  EXPECT_EQ(progress.Percent(), 0);  // an empty range always shows 0
  progress.SetRange(0, 2000000000, 1);
  progress.SetPos(1999999999);
  EXPECT_EQ(progress.Percent(), 99);

  EXPECT_EQ(PlaceProgressWindow(true, {100, 50}, 400, 120, 1024, 768).x, 100);
  const ProgressPlace off = PlaceProgressWindow(true, {1500, 50}, 400, 120, 1024, 768);  // after a display change
  EXPECT_EQ(off.x, 312);
  EXPECT_EQ(off.y, 324);
  EXPECT_EQ(PlaceProgressWindow(false, {0, 0}, 400, 120, 1024, 768).x, 312);
}

}  // namespace
