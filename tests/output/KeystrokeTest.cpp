// SendKeystroke: which key events one key or one character becomes, with
// Shift and Caps Lock, and what goes out for a character the layout lacks.
#include "output/SendKeystroke.h"

#include <gtest/gtest.h>

#include "common/CodePage.h"
#include "OutputFakes.h"

namespace {

using output::SendKeystroke;
using output_test::Event;
using output_test::Recorder;

TEST(Keystroke, AKeyAloneIsOnePressAndOneReleaseMarkedAsOurs) {
  Recorder keyboard;
  EXPECT_EQ(SendKeystroke(keyboard, 0, 0), 0);  // nothing to type
  EXPECT_TRUE(keyboard.events.empty());
  EXPECT_EQ(SendKeystroke(keyboard, 0, output::kVkBack), 1);
  ASSERT_EQ(keyboard.Trace(), "+Back -Back");
  EXPECT_EQ(keyboard.events[0].flags, 0u);
  EXPECT_EQ(keyboard.events[1].flags, platform::kKeyUp);
  // Every event of a shifted character carries our scan code too, and no
  // extended flag.
  EXPECT_EQ(SendKeystroke(keyboard, 'A', 0), 1);
  ASSERT_EQ(keyboard.events.size(), 6u);
  for (const Event& e : keyboard.events) {
    EXPECT_EQ(e.kind, Event::kKey);
    EXPECT_EQ(e.scan, 0xEE);
    EXPECT_EQ(e.flags & platform::kKeyExtended, 0u);
  }
}

// Letters follow Caps Lock, other characters do not. The Ctrl and Alt bits
// of the layout are dropped (as for '@' on a German layout, AltGr+Q); bytes
// from 128 up take the layout's Shift and ignore Caps Lock (as for the
// accented letters of a French layout).
TEST(Keystroke, CharacterBecomesItsKeyWithShiftWhereNeeded) {
  const char eAcute = static_cast<char>(0xE9), capitalEAcute = static_cast<char>(0xC9);
  struct Case {
    char c;
    std::uint8_t vk;
    bool capsLock;
    const char* trace;
    std::int16_t layout = 0;  // what the layout answers instead of the US one
  };
  const Case cases[] = {
      {'x', output::kVkTab, false, "+Tab -Tab +X -X"},  // the key goes first
      {'a', 0, false, "+A -A"},
      {'a', 0, true, "+Shift +A -A -Shift"},
      {'A', 0, false, "+Shift +A -A -Shift"},
      {'Z', 0, true, "+Z -Z"},
      {'!', 0, false, "+Shift +1 -1 -Shift"},
      {'!', 0, true, "+Shift +1 -1 -Shift"},
      {'7', 0, true, "+7 -7"},
      {'\r', 0, false, "+Enter -Enter"},
      {'@', 0, false, "+Q -Q", 0x0651},
      {'@', 0, false, "+Shift +Q -Q -Shift", 0x0751},
      {eAcute, 0, true, "+2 -2", 0x32},
      {capitalEAcute, 0, true, "+Shift +2 -2 -Shift", 0x132},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.trace);
    Recorder k;
    k.capsLock = c.capsLock;
    if (c.layout) k.layoutOverrides[c.c] = c.layout;
    EXPECT_EQ(SendKeystroke(k, c.c, c.vk), 1);
    EXPECT_EQ(k.Trace(), c.trace);
  }
}

// --- characters the layout cannot type --------------------------------------------

TEST(Keystroke, CharacterWithoutAKeyIsSentAsItsUnicodeCharacter) {
  Recorder keyboard;
  testutil::CodePageScope codePage;
  if (!codePage.Use(1252)) GTEST_SKIP() << "code page 1252 is not the system's code page";
  const char eAcute = static_cast<char>(0xE9);  // not on the US layout
  EXPECT_EQ(SendKeystroke(keyboard, eAcute, 0), 1);
  EXPECT_EQ(keyboard.Trace(), "u+00E9 u-00E9");
  // Marked as ours, like every key we send, so that our hook lets it by.
  for (const Event& e : keyboard.events) EXPECT_EQ(e.extraInfo, platform::kSyntheticExtraInfo);
  // The euro sign is converted from the code page.
  Recorder euro;
  SendKeystroke(euro, static_cast<char>(0x80), output::kVkBack);
  EXPECT_EQ(euro.Trace(), "+Back -Back u+20AC u-20AC");
}

}  // namespace
