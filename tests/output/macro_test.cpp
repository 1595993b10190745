// MacroTyper: the token table, splitting texts into pieces, the values of the
// date and time tokens, and what TypeOut types, including where it leaves
// the caret.
#include "output/MacroTyper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output_fakes.h"

namespace {

using output::MacroTyper;
using output_test::Recorder;
using Pieces = std::vector<std::string>;

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::tm At(int year, int month, int day, int weekday, int hour, int minute, int second) {
  std::tm t = {};
  t.tm_year = year - 1900;
  t.tm_mon = month;
  t.tm_mday = day;
  t.tm_wday = weekday;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

// Friday, 4 December 2026, 14:05:09.
std::tm Friday() { return At(2026, 11, 4, 5, 14, 5, 9); }

class Macro : public ::testing::Test {
 protected:
  MacroTyper Typer(std::tm when = Friday()) {
    return MacroTyper(system, system, [this, when] {
      ++clockReads;
      return when;
    });
  }
  // Parses and types `text`; returns what the target shows.
  std::string Type(const std::string& text) {
    MacroTyper typer = Typer();
    typer.Parse(text);
    EXPECT_EQ(typer.TypeOut(0x42), 1);
    return system.Typed();
  }
  int Lefts() const {
    int n = 0;
    for (const auto& e : system.events) n += e.kind == output_test::Event::kKey && e.vk == 37 && !e.up;
    return n;
  }

  Recorder system;
  int clockReads = 0;
};

// --- the token table ------------------------------------------------------------

TEST_F(Macro, TokensMatchWholeAndCaseSensitively) {
  EXPECT_EQ(MacroTyper::FindToken("%TAB%"), 31);
  for (const char* text : {"%date%", "%DATE", "%DATE% ", "%%", ""}) {
    EXPECT_EQ(MacroTyper::FindToken(text), -1) << text;
  }
}

// --- token values -------------------------------------------------------------------

TEST_F(Macro, DateAndTimeTokensAreWrittenTheEnglishWay) {
  MacroTyper typer = Typer();
  const std::pair<const char*, const char*> expected[] = {
      {"%DATE%", "12/04/26"},      {"%TIME_24%", "14:05:09"},  {"%TIME_12%", "02:05:09 PM"},
      {"%YEAR%", "2026"},          {"%MONTH%", "12"},          {"%MONTH_02%", "12"},
      {"%MONTHNAME%", "Dec"},      {"%FULLMONTHNAME%", "December"}, {"%DAY%", "4"},
      {"%DAY_02%", "04"},          {"%WEEK%", "5"},            {"%WEEKNAME%", "Fri"},
      {"%FULLWEEKNAME%", "Friday"}, {"%HOUR_24%", "14"},       {"%HOUR_24_02%", "14"},
      {"%HOUR_12%", "2"},          {"%HOUR_12_02%", "02"},     {"%MINUTE%", "5"},
      {"%MINUTE_02%", "05"},       {"%SECOND%", "9"},          {"%SECOND_02%", "09"}};
  for (const auto& [token, value] : expected) EXPECT_EQ(typer.ExpandToken(token), value) << token;
}

TEST_F(Macro, OtherTimesAndDatesFillTheirTokens) {
  struct Case {
    int year, month, day, weekday, hour;
    const char* token;
    const char* value;
  };
  const Case cases[] = {
      {2026, 11, 4, 5, 0, "%TIME_12%", "12:07:03 AM"},
      {2026, 11, 4, 5, 0, "%HOUR_12%", "12"},
      {2026, 11, 4, 5, 0, "%HOUR_24%", "0"},
      {2026, 11, 4, 5, 0, "%HOUR_24_02%", "00"},
      {2026, 11, 4, 5, 12, "%TIME_12%", "12:07:03 PM"},
      {2026, 11, 4, 5, 23, "%HOUR_12_02%", "11"},
      {2005, 0, 1, 6, 0, "%DATE%", "01/01/05"},
      {2005, 0, 1, 6, 0, "%MONTH%", "1"},
      {2005, 0, 1, 6, 0, "%MONTH_02%", "01"},
      {2005, 0, 1, 6, 0, "%MONTHNAME%", "Jan"},
      {2005, 0, 1, 6, 0, "%WEEKNAME%", "Sat"},
      {2005, 0, 1, 6, 0, "%FULLWEEKNAME%", "Saturday"},
      {2005, 0, 1, 6, 0, "%WEEK%", "6"},
      {2005, 0, 1, 0, 0, "%FULLWEEKNAME%", "Sunday"},
      {2005, 0, 1, 0, 0, "%WEEK%", "0"},
      // Odd clock values still name a month and a day.
      {2026, 40, 4, 5, 14, "%FULLMONTHNAME%", "May"},
      {2026, 11, 4, -3, 14, "%FULLWEEKNAME%", "Thursday"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.token);
    const std::tm t = At(c.year, c.month, c.day, c.weekday, c.hour, 7, 3);
    EXPECT_EQ(Typer(t).ExpandToken(c.token), c.value);
  }
}

TEST_F(Macro, KeyTokensCaretAndNonTokensHaveNoValue) {
  MacroTyper typer = Typer();
  for (const char* token : {"%CARET%", "%UP%", "%TAB%", "%RETURN%", "", "%date%", "hello"}) {
    EXPECT_EQ(typer.ExpandToken(token), "") << token;
  }
  EXPECT_EQ(clockReads, 0);
  // Parse reads the clock once for every date or time token.
  typer.Parse("%DATE% %TIME_24% %CARET%%TAB%");
  EXPECT_EQ(clockReads, 2);
}

TEST_F(Macro, SystemClockGivesAPlausibleDate) {
  MacroTyper typer;  // the system's keyboard, clipboard and local time
  const std::string year = typer.ExpandToken("%YEAR%");
  ASSERT_EQ(year.size(), 4u);
  EXPECT_GE(std::stoi(year), 2024);
  const std::string date = typer.ExpandToken("%DATE%");
  ASSERT_EQ(date.size(), 8u);
  EXPECT_EQ(date[2], '/');
  EXPECT_EQ(date[5], '/');
}

// --- Parse ------------------------------------------------------------------------------

TEST_F(Macro, ParseSplitsTheTextAtTokens) {
  struct Case {
    const char* text;
    Pieces pieces;
  };
  const Case cases[] = {
      {"Hello", {"Hello"}},
      {"Dear %FULLWEEKNAME%,", {"Dear ", "Friday", ","}},
      // The closing percent of a non-token may open a token.
      {"50% off %DATE%", {"50% off ", "12/04/26", ""}},
      {"%DATE%%TIME_24%", {"", "12/04/26", "", "14:05:09", ""}},
      {"100%", {"100%"}},
      {"a % b", {"a % b"}},
      {"%", {"%"}},
      {"%%%", {"%%%"}},
      {"%date%", {"%date%"}},
      {"%TAB%x%y", {"", "%TAB%", "x%y"}},
      {"<b>%CARET%</b>%RETURN%", {"<b>", "%CARET%", "</b>", "%RETURN%", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    MacroTyper typer = Typer();
    typer.Parse("first%TAB%");  // replaced by the next text
    typer.Parse(c.text);
    EXPECT_EQ(typer.pieces, c.pieces);
  }
}

TEST_F(Macro, EmptyTextLeavesThePiecesAlone) {
  MacroTyper typer = Typer();
  typer.Parse("kept");
  typer.Parse("");
  EXPECT_EQ(typer.pieces, Pieces{"kept"});
}

// --- TypeOut ----------------------------------------------------------------------------

TEST_F(Macro, TypeOutTypesThePiecesAndStepsBackToTheCaret) {
  struct Case {
    std::string text;
    std::string typed;  // without the steps back
    int lefts;
  };
  const Case cases[] = {
      {"Due %DATE%!", "Due 12/04/26!", 0},
      {"%DATE%%TIME_24%", "12/04/2614:05:09", 0},
      {"<b>%CARET%</b>", "<b></b>", 4},
      {"Line1\r\nLine2%CARET%", "Line1\r\nLine2", 0},
      // CR LF is one Enter and one caret step.
      {"%CARET%Line1\r\nLine2", "Line1\r\nLine2", 11},
      {"%CARET%a\nb", "a\r\nb", 3},
      {"ab%CARET%cd%BACKSPACE%", "abcd{BS}", 1},
      {"x%TAB%y%CARET%", "x\ty", 0},
      {"%CARET%x%TAB%y", "x\ty", 3},
      {"%CARET%%RETURN%z", "\r\nz", 2},
      {"a%CARET%b%BACKSPACE%%BACKSPACE%%BACKSPACE%", "ab{BS}{BS}{BS}", 0},
      {"%CARET%ab%UP%%HOME%%DELETE%", "ab{UP}{HOME}{DEL}", 2},
      {"a%CARET%bc%CARET%d", "abcd", 3},
      {"%CARET%%DATE%", "12/04/26", 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    system.events.clear();
    EXPECT_EQ(Type(c.text), c.typed + Repeat("{LEFT}", c.lefts));
    EXPECT_EQ(Lefts(), c.lefts);
  }
}

TEST_F(Macro, PlainTextTypesEachCharacter) {
  EXPECT_EQ(Type("Hello"), "Hello");
  EXPECT_EQ(system.KeyEventCount(), 2 + 2 * 5);  // Shift around H
  system.events.clear();
  Type("plain %DATE%");  // single-byte text never takes the clipboard
  for (const auto& e : system.events) EXPECT_EQ(e.kind, output_test::Event::kKey);
}

TEST_F(Macro, CrLfIsOneEnter) {
  Type("a\r\nb");
  int enters = 0;
  for (const auto& e : system.events) enters += e.vk == 13 && !e.up;
  EXPECT_EQ(enters, 1);
}

TEST_F(Macro, KeyTokensPressTheirKeys) {
  EXPECT_EQ(Type("%UP%%DOWN%%PGUP%%PGDN%%BACKSPACE%%RETURN%%DELETE%%HOME%%END%%TAB%"),
            "{UP}{DOWN}{PGUP}{PGDN}{BS}\r\n{DEL}{HOME}{END}\t");
  EXPECT_EQ(system.Trace(),
            "+Up -Up +Down -Down +PgUp -PgUp +PgDn -PgDn +Back -Back +Enter -Enter +Del -Del "
            "+Home -Home +End -End +Tab -Tab");
}

// --- double-byte text -------------------------------------------------------------------

class MacroDbcs : public Macro {
 protected:
  void SetUp() override {
    if (!codePage.Use(932)) GTEST_SKIP() << "code page 932 is not the system's code page";
  }
  output_test::CodePageGuard codePage;
};

// "日本" in code page 932.
const std::string kNihon = "\x93\xfa\x96\x7b";

TEST_F(MacroDbcs, PieceWithDoubleByteCharactersIsPastedInOneStep) {
  EXPECT_EQ(Type("ab" + kNihon + "c"), "{PASTE:ab" + kNihon + "c}");
  EXPECT_EQ(system.clipboardText, "ab" + kNihon + "c");
  EXPECT_EQ(system.Trace(), "open empty set close +Ctrl +V -V -Ctrl");
  // Only the piece with them is pasted, and each is one caret step.
  system.events.clear();
  EXPECT_EQ(Type("x%TAB%" + kNihon), "x\t{PASTE:" + kNihon + "}");
  system.events.clear();
  EXPECT_EQ(Type("%CARET%" + kNihon + "a"), "{PASTE:" + kNihon + "a}{LEFT}{LEFT}{LEFT}");
}

TEST_F(MacroDbcs, LeadByteWithoutATrailByteIsTypedAsASingleByte) {
  // A lone lead byte is no double-byte character: the piece is typed key by
  // key and the byte, which has no key, goes out as a Unicode event.
  Type("a\x93");
  EXPECT_EQ(system.Trace().substr(0, 5), "+A -A");
  EXPECT_EQ(system.events.back().kind, output_test::Event::kUnicode);
  for (const auto& e : system.events) EXPECT_NE(e.kind, output_test::Event::kOpen);
}

TEST_F(MacroDbcs, BusyClipboardSkipsThePieceAndTypingGoesOn) {
  system.clipboardBusy = true;
  EXPECT_EQ(Type(kNihon + "%TAB%z"), "\tz");
}

}  // namespace
