// What the Options dialog's pages decide, apart from drawing: the Hotkeys
// page's keys, the Others page's numbers and their ranges, and the dialog's
// page choice and Cancel question. The Win32 views copy between their
// controls and these models.
//
// Threading: the user-interface thread only. Nothing here shows a message:
// a refused value is reported back to the view, which shows it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/Config.h"
#include "platform/Keyboard.h"

namespace config {

// The Hotkeys page (accept keys, row and page keys, index keys, the on/off
// hotkey).
class CHotkeyPageModel {
 public:
  // One entry of the accept-key list: its text and its virtual key.
  struct AcceptKey {
    const char* text;
    std::uint8_t vk;
  };
  // The accept-key list as the sorted list control shows it.
  static const std::vector<AcceptKey>& AcceptList();

  void Load(const CConfig& config);
  void Store(CConfig& config) const;

  // List row i is selected when one of the ten accept keys is its key.
  std::vector<bool> AcceptSelection() const;
  // The accept keys from the selected rows, top to bottom (list order, not
  // the order of the clicks); the remaining slots hold 0xFF.
  void SetAcceptSelection(const std::vector<bool>& selected);

  // The radio groups: which one shows checked, and a click on each.
  bool ArrowKeys() const { return vkSelectPrev == 0x26; }
  bool PageKeys() const { return vkSelectPageDown == 0x22; }
  bool DigitIndexKeys() const { return vkSelectIndex[0] == 0x31; }
  void UseArrowKeys();
  void UseBracketKeys(platform::KeyboardOutput& keyboard);
  void UsePageKeys();
  void UseMinusPlusKeys(platform::KeyboardOutput& keyboard);
  void UseDigitIndexKeys();
  void UseFunctionIndexKeys();

  // The hotkey control changed: value = modifiers << 16 | key.
  void SetToggleHotkey(std::uint32_t value);

  std::uint8_t vkSelectPrev = 0x26;
  std::uint8_t vkSelectNext = 0x28;
  std::uint8_t vkSelectPageDown = 0x22;
  std::uint8_t vkSelectPageUp = 0x21;
  std::uint8_t vkSelectIndex[10] = {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x30};
  std::uint8_t vkSelect[10] = {0x09, 0x0D, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  std::uint32_t dwEnableHoam = 0x00020074;
  bool changed = false;
};

// The Others page: the three services, start with Windows, and the numbers
// that govern the prompt.
class COthersPageModel {
 public:
  // The numbers in the order of their edits.
  enum Number { kMinInput, kMinWordLength, kMaxWordLength, kMaxItemShow, kNumberCount };
  struct Range {
    std::int32_t low;
    std::int32_t high;
  };
  static Range RangeOf(Number number);

  void Load(const CConfig& config);
  // Takes the edits' texts; on a text that is not a whole number in its
  // range, returns that number (and keeps every field as it was).
  std::optional<Number> Take(const std::string (&texts)[kNumberCount]);
  void Store(CConfig& config) const;

  // A check box click: the field follows the box, and the page is changed.
  void SetCheck(std::int32_t& field, bool checked);

  std::int32_t bEnableWord = 1;
  std::int32_t bEnablePhrase = 1;
  std::int32_t bCommonFirst = 1;
  std::int32_t bFixTypos = 1;
  std::int32_t bEnableShorthand = 1;
  std::int32_t bRunAtStartup = 1;
  std::int32_t numbers[kNumberCount] = {1, 1, 500, 5};
  bool changed = false;
};

// The Options dialog: its pages in tree order, the first page shown, and
// whether Cancel asks before it closes.
enum class OptionsPage { kHotkeys = 0, kAutoLearn = 1, kOthers = 2 };
// startPage names a page by its tree text; anything else gives Hotkeys.
OptionsPage StartPageFor(const std::string& startPage, const std::string& autoLearnText,
                         const std::string& othersText);

// A whole number as the edits take it: optional blanks, an optional sign,
// digits, optional blanks; nothing when the text is anything else or does
// not fit in 32 bits.
std::optional<std::int32_t> ParseWholeNumber(const std::string& text);

}  // namespace config
