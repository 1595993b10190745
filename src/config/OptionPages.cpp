#include "config/OptionPages.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

namespace config {

namespace {

std::uint8_t KeyOf(platform::KeyboardOutput& keyboard, char character) {
  return static_cast<std::uint8_t>(keyboard.VkKeyScan(character) & 0xFF);
}

}  // namespace

const std::vector<CHotkeyPageModel::AcceptKey>& CHotkeyPageModel::AcceptList() {
  // The list control sorts its entries: CTRL, RETURN, SHIFT, SPACE, TAB.
  static const std::vector<AcceptKey> list = [] {
    std::vector<AcceptKey> keys = {{"CTRL", 17}, {"SHIFT", 16}, {"SPACE", 32}, {"RETURN", 13}, {"TAB", 9}};
    std::sort(keys.begin(), keys.end(),
              [](const AcceptKey& a, const AcceptKey& b) { return std::strcmp(a.text, b.text) < 0; });
    return keys;
  }();
  return list;
}

void CHotkeyPageModel::Load(const CConfig& config) {
  vkSelectPrev = config.vkSelectPrev;
  vkSelectNext = config.vkSelectNext;
  vkSelectPageDown = config.vkSelectPageDown;
  vkSelectPageUp = config.vkSelectPageUp;
  std::copy(std::begin(config.vkSelectIndex), std::end(config.vkSelectIndex), vkSelectIndex);
  std::copy(std::begin(config.vkSelect), std::end(config.vkSelect), vkSelect);
  dwEnableHoam = config.dwEnableHoam;
  changed = false;
}

void CHotkeyPageModel::Store(CConfig& config) const {
  config.vkSelectPrev = vkSelectPrev;
  config.vkSelectNext = vkSelectNext;
  config.vkSelectPageDown = vkSelectPageDown;
  config.vkSelectPageUp = vkSelectPageUp;
  std::copy(std::begin(vkSelectIndex), std::end(vkSelectIndex), config.vkSelectIndex);
  std::copy(std::begin(vkSelect), std::end(vkSelect), config.vkSelect);
  config.dwEnableHoam = dwEnableHoam;
}

std::vector<bool> CHotkeyPageModel::AcceptSelection() const {
  const auto& list = AcceptList();
  std::vector<bool> selected(list.size(), false);
  for (std::uint8_t key : vkSelect) {
    for (std::size_t row = 0; row < list.size(); ++row) {
      if (list[row].vk == key) {
        selected[row] = true;
        break;
      }
    }
  }
  return selected;
}

void CHotkeyPageModel::SetAcceptSelection(const std::vector<bool>& selected) {
  std::fill(std::begin(vkSelect), std::end(vkSelect), 0xFF);
  const auto& list = AcceptList();
  std::size_t slot = 0;
  for (std::size_t row = 0; row < list.size() && row < selected.size() && slot < 10; ++row) {
    if (selected[row]) vkSelect[slot++] = list[row].vk;
  }
}

void CHotkeyPageModel::UseArrowKeys() {
  vkSelectPrev = 0x26;
  vkSelectNext = 0x28;
  changed = true;
}

void CHotkeyPageModel::UseBracketKeys(platform::KeyboardOutput& keyboard) {
  vkSelectPrev = KeyOf(keyboard, '[');
  vkSelectNext = KeyOf(keyboard, ']');
  changed = true;
}

void CHotkeyPageModel::UsePageKeys() {
  vkSelectPageDown = 0x22;
  vkSelectPageUp = 0x21;
  changed = true;
}

// Minus turns to the next page, the key of plus and equals to the previous one.
void CHotkeyPageModel::UseMinusPlusKeys(platform::KeyboardOutput& keyboard) {
  vkSelectPageDown = KeyOf(keyboard, '-');
  vkSelectPageUp = KeyOf(keyboard, '=');
  changed = true;
}

void CHotkeyPageModel::UseDigitIndexKeys() {
  for (int i = 0; i < 9; ++i) vkSelectIndex[i] = static_cast<std::uint8_t>(0x31 + i);
  vkSelectIndex[9] = 0x30;
  changed = true;
}

void CHotkeyPageModel::UseFunctionIndexKeys() {
  for (int i = 0; i < 10; ++i) vkSelectIndex[i] = static_cast<std::uint8_t>(0x70 + i);
  changed = true;
}

void CHotkeyPageModel::SetToggleHotkey(std::uint32_t value) {
  if (value != dwEnableHoam) changed = true;
  dwEnableHoam = value;
}

COthersPageModel::Range COthersPageModel::RangeOf(Number number) {
  switch (number) {
    case kMaxWordLength: return {4, 10000};
    case kMaxItemShow: return {1, 10};
    default: return {1, 10000};
  }
}

void COthersPageModel::Load(const CConfig& config) {
  bEnableWord = config.bEnableWord;
  bEnablePhrase = config.bEnablePhrase;
  bCommonFirst = config.bCommonFirst;
  bFixTypos = config.bFixTypos;
  bEnableShorthand = config.bEnableShorthand;
  bRunAtStartup = config.bRunAtStartup;
  numbers[kMinInput] = config.nMinInput;
  numbers[kMinWordLength] = config.nMinWordLength;
  numbers[kMaxWordLength] = config.nMaxWordLength;
  numbers[kMaxItemShow] = config.nMaxItemShow;
  changed = false;
}

std::optional<COthersPageModel::Number> COthersPageModel::Take(const std::string (&texts)[kNumberCount]) {
  std::int32_t taken[kNumberCount];
  for (int i = 0; i < kNumberCount; ++i) {
    const auto number = static_cast<Number>(i);
    const std::optional<std::int32_t> value = ParseWholeNumber(texts[i]);
    const Range range = RangeOf(number);
    if (!value || *value < range.low || *value > range.high) return number;
    taken[i] = *value;
  }
  std::copy(std::begin(taken), std::end(taken), numbers);
  return std::nullopt;
}

void COthersPageModel::Store(CConfig& config) const {
  config.bEnableWord = bEnableWord;
  config.bEnablePhrase = bEnablePhrase;
  config.bCommonFirst = bCommonFirst;
  config.bFixTypos = bFixTypos;
  config.bEnableShorthand = bEnableShorthand;
  config.bRunAtStartup = bRunAtStartup;
  config.nMinInput = numbers[kMinInput];
  config.nMinWordLength = numbers[kMinWordLength];
  config.nMaxWordLength = numbers[kMaxWordLength];
  config.nMaxItemShow = numbers[kMaxItemShow];
}

void COthersPageModel::SetCheck(std::int32_t& field, bool checked) {
  field = checked ? 1 : 0;
  changed = true;
}

OptionsPage StartPageFor(const std::string& startPage, const std::string& autoLearnText,
                         const std::string& othersText) {
  if (startPage == autoLearnText) return OptionsPage::kAutoLearn;
  if (startPage == othersText) return OptionsPage::kOthers;
  return OptionsPage::kHotkeys;
}

std::optional<std::int32_t> ParseWholeNumber(const std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == n || !std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
  std::int64_t value = 0;
  while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
    value = value * 10 + (text[i++] - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i != n) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace config
