// MacroTyper: the token table, the date and time values, splitting texts into
// pieces, and what TypeOut types, including where it leaves the caret.
#include "output/MacroTyper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/CodePage.h"
#include "OutputFakes.h"

namespace {

using output::MacroTyper;
using output_test::Recorder;
using Pieces = std::vector<std::string>;

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
  // Parses `text` at `when` and joins the pieces.
  std::string Expanded(std::tm when, const std::string& text) {
    MacroTyper typer = Typer(when);
    typer.Parse(text);
    std::string out;
    for (const std::string& piece : typer.pieces) out += piece;
    return out;
  }

  Recorder system;
  int clockReads = 0;
};

// --- tokens -------------------------------------------------------------------------

TEST_F(Macro, TokensMatchWholeAndCaseSensitivelyAndKeyTokensHaveNoValue) {
  EXPECT_EQ(MacroTyper::FindToken("%TAB%"), 31);
  for (const char* text : {"%date%", "%DATE", "%DATE% ", "%%", ""})
    EXPECT_EQ(MacroTyper::FindToken(text), -1) << text;
  MacroTyper typer = Typer();
  for (const char* token : {"%CARET%", "%UP%", "%TAB%", "%RETURN%", "", "%date%", "hello"})
    EXPECT_EQ(typer.ExpandToken(token), "") << token;
  EXPECT_EQ(clockReads, 0);
  // Parse reads the clock once for every date or time token.
  typer.Parse("%DATE% %TIME_24% %CARET%%TAB%");
  EXPECT_EQ(clockReads, 2);
}

// Every date and time token, the English way; odd clock values (the last two
// rows) still name a month and a day.
TEST_F(Macro, DateAndTimeTokensFillTheirValues) {
  struct Case {
    int year, month, day, weekday, hour;
    const char* text;
    const char* expanded;
  };
  const Case cases[] = {
      {2026, 11, 4, 5, 14,
       "%DATE% %TIME_24% %TIME_12% %YEAR% %MONTH% %MONTH_02% %MONTHNAME% %FULLMONTHNAME% %DAY% "
       "%DAY_02% %WEEK% %WEEKNAME% %FULLWEEKNAME% %HOUR_24% %HOUR_24_02% %HOUR_12% %HOUR_12_02% "
       "%MINUTE% %MINUTE_02% %SECOND% %SECOND_02%",
       "12/04/26 14:07:03 02:07:03 PM 2026 12 12 Dec December 4 04 5 Fri Friday 14 14 2 02 "
       "7 07 3 03"},
      {2026, 11, 4, 5, 0, "%TIME_12% %HOUR_12% %HOUR_24% %HOUR_24_02%", "12:07:03 AM 12 0 00"},
      {2026, 11, 4, 5, 12, "%TIME_12%", "12:07:03 PM"},
      {2026, 11, 4, 5, 23, "%HOUR_12_02%", "11"},
      {2005, 0, 1, 6, 0, "%DATE% %MONTH% %MONTH_02% %MONTHNAME%", "01/01/05 1 01 Jan"},
      {2005, 0, 1, 6, 0, "%WEEKNAME% %FULLWEEKNAME% %WEEK%", "Sat Saturday 6"},
      {2005, 0, 1, 0, 0, "%FULLWEEKNAME% %WEEK%", "Sunday 0"},
      {2026, 40, 4, 5, 14, "%FULLMONTHNAME%", "May"},
      {2026, 11, 4, -3, 14, "%FULLWEEKNAME%", "Thursday"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::tm t = At(c.year, c.month, c.day, c.weekday, c.hour, 7, 3);
    EXPECT_EQ(Expanded(t, c.text), c.expanded);
  }
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
      {"", {"first", "%TAB%", ""}},  // an empty text leaves the pieces alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    MacroTyper typer = Typer();
    typer.Parse("first%TAB%");  // replaced by the next text
    typer.Parse(c.text);
    EXPECT_EQ(typer.pieces, c.pieces);
  }
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
      // CR LF is one Enter and one caret step.
      {"a\r\nb%CARET%c\r\nd", "a\r\nbc\r\nd", 3},
      {"%CARET%a\nb", "a\r\nb", 3},
      {"ab%CARET%cd%BACKSPACE%", "abcd{Back}", 1},
      {"%CARET%x%TAB%y", "x\ty", 3},
      {"%CARET%%RETURN%z", "\r\nz", 2},
      {"a%CARET%b%BACKSPACE%%BACKSPACE%%BACKSPACE%", "ab{Back}{Back}{Back}", 0},
      {"%CARET%ab%UP%%HOME%%DELETE%", "ab{Up}{Home}{Del}", 2},
      // Single-byte text and every key token go key by key, never through the clipboard.
      {"Hi%DOWN%%PGUP%%PGDN%%END%", "Hi{Down}{PgUp}{PgDn}{End}", 0},
      {"a%CARET%bc%CARET%d", "abcd", 3},
      {"%CARET%%DATE%", "12/04/26", 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    system.events.clear();
    std::string lefts;
    for (int i = 0; i < c.lefts; ++i) lefts += "{Left}";
    EXPECT_EQ(Type(c.text), c.typed + lefts);
  }
}

// --- double-byte text -------------------------------------------------------------------

class MacroDbcs : public Macro {
 protected:
  void SetUp() override {
    if (!codePage.Use(932)) GTEST_SKIP() << "code page 932 is not the system's code page";
  }
  testutil::CodePageScope codePage;
};

// "日本" in code page 932.
const std::string kNihon = "\x93\xfa\x96\x7b";

TEST_F(MacroDbcs, PieceWithDoubleByteCharactersIsPastedInOneStep) {
  EXPECT_EQ(Type("ab" + kNihon + "c"), "{PASTE:ab" + kNihon + "c}");
  // Only the piece with them is pasted, and each is one caret step.
  system.events.clear();
  EXPECT_EQ(Type("x%TAB%" + kNihon), "x\t{PASTE:" + kNihon + "}");
  system.events.clear();
  EXPECT_EQ(Type("%CARET%" + kNihon + "a"), "{PASTE:" + kNihon + "a}{Left}{Left}{Left}");
  // A busy clipboard skips the piece and typing goes on.
  system.events.clear();
  system.clipboardBusy = true;
  EXPECT_EQ(Type(kNihon + "%TAB%z"), "\tz");
}

TEST_F(MacroDbcs, LeadByteWithoutATrailByteIsTypedAsASingleByte) {
  // A lone lead byte is no double-byte character: the piece is typed key by
  // key and the byte, which has no key, goes out as a Unicode event, the
  // replacement character.
  Type("a\x93");
  EXPECT_EQ(system.Trace(), "+A -A u+FFFD u-FFFD");
}

}  // namespace
