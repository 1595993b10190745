#include "platform/sim/SimInput.h"

#include "platform/CodePage.h"

namespace platform::sim {

namespace {

constexpr std::uint8_t kVkShift = 0x10;
constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkCapital = 0x14;
constexpr std::uint16_t kHardwareScan = 0x1E;

// US layout: the unshifted and shifted characters of the punctuation keys.
struct OemKey {
  std::uint8_t vk;
  char plain;
  char shifted;
};
constexpr OemKey kOemKeys[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'},
    {0xBE, '.', '>'}, {0xBF, '/', '?'}, {0xC0, '`', '~'},  {0xDB, '[', '{'},
    {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}};
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

bool SimClipboard::Open() {
  if (heldElsewhere_ || open_) return false;
  open_ = true;
  return true;
}

void SimClipboard::Empty() {
  if (!open_) return;
  items_.clear();
  ++sequence_;
}

bool SimClipboard::SetText(const std::string& text) {
  if (!open_ || outOfMemory_) return false;
  std::erase_if(items_, [](const Item& item) { return item.format == kText; });
  items_.push_back(Item{kText, text + '\0'});
  ++sequence_;
  return true;
}

bool SimClipboard::OfferText(const std::string& text) {
  if (!SetText(text)) return false;
  taken_ = false;
  return true;
}

std::string SimClipboard::Paste() {
  taken_ = true;
  return text();
}

void SimClipboard::Close() { open_ = false; }

std::vector<Clipboard::Item> SimClipboard::Contents() {
  if (!open_) return {};
  return items_;
}

bool SimClipboard::SetContents(const std::vector<Item>& items) {
  if (!open_) return false;
  items_ = items;
  ++sequence_;
  return true;
}

std::string SimClipboard::text() const {
  for (const Item& item : items_)
    if (item.format == kText) return item.bytes.substr(0, item.bytes.find('\0'));
  return {};
}

void SimClipboard::ReplaceElsewhere(std::vector<Item> items) {
  items_ = std::move(items);
  ++sequence_;
}

SimKeyboard::SimKeyboard(SimDesktop& desktop, SimClipboard& clipboard)
    : desktop_(desktop), clipboard_(clipboard) {}

std::string SimKeyboard::KeyText(std::uint8_t vk) const {
  const bool shift = down_[kVkShift] || down_[0xA0] || down_[0xA1];
  const bool ctrl = down_[kVkControl] || down_[0xA2] || down_[0xA3];
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return std::string(1, static_cast<char>(vk - 'A' + 1));
    bool upper = shift != capsLock_;
    return std::string(1, static_cast<char>(upper ? vk : vk - 'A' + 'a'));
  }
  if (ctrl) return std::string();
  if (vk >= '0' && vk <= '9') return std::string(1, shift ? kShiftedDigits[vk - '0'] : static_cast<char>(vk));
  for (const OemKey& k : kOemKeys)
    if (k.vk == vk) return std::string(1, shift ? k.shifted : k.plain);
  switch (vk) {
    case 0x20: return " ";
    case 0x0D: return "\r";
    case 0x09: return "\t";
    case 0x08: return "\b";
    case 0x1B: return "\x1b";
    default: return std::string();
  }
}

std::int16_t SimKeyboard::VkKeyScan(char character) {
  unsigned char c = static_cast<unsigned char>(character);
  if (c >= 'a' && c <= 'z') return static_cast<std::int16_t>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return static_cast<std::int16_t>(0x100 | c);
  if (c >= '0' && c <= '9') return static_cast<std::int16_t>(c);
  for (int d = 0; d < 10; ++d)
    if (kShiftedDigits[d] == character) return static_cast<std::int16_t>(0x100 | ('0' + d));
  for (const OemKey& k : kOemKeys) {
    if (k.plain == character) return k.vk;
    if (k.shifted == character) return static_cast<std::int16_t>(0x100 | k.vk);
  }
  switch (c) {
    case ' ': return 0x20;
    case '\r': return 0x0D;
    case '\n': return 0x20D;  // Ctrl+Enter, as Windows reports
    case '\t': return 0x09;
    case '\b': return 0x08;
    case 0x1B: return 0x1B;
    default: return -1;
  }
}

void SimKeyboard::KeyEvent(std::uint8_t vk, std::uint16_t scanCode, std::uint32_t flags) {
  const bool up = (flags & kKeyUp) != 0;
  SimKeyRecord record{vk, scanCode, flags, 0, false};
  std::string text = KeyText(vk);
  if (hook_ && scanCode != kSyntheticScanCode) {
    std::uintptr_t wParam = 0;
    for (size_t i = 0; i < text.size() && i < 2; ++i)
      wParam |= static_cast<std::uintptr_t>(static_cast<unsigned char>(text[i])) << (8 * i);
    std::intptr_t lParam = (static_cast<std::intptr_t>(vk) << 8) | (up ? 1 : 0);
    if (hook_(wParam, lParam) == 0) record.swallowed = true;
  }
  log.push_back(record);
  // Modifier state follows the events whether or not a window sees them.
  if (vk == kVkCapital && !up && !down_[vk]) capsLock_ = !capsLock_;
  down_[vk] = !up;
  if (record.swallowed || up) return;
  const bool ctrl = down_[kVkControl] || down_[0xA2] || down_[0xA3];
  if (desktop_.ApplyKey(vk, ctrl, [this] { return clipboard_.Paste(); })) return;
  if (text == "\t" || (!text.empty() && static_cast<unsigned char>(text[0]) >= 0x20))
    desktop_.InsertText(text);
}

void SimKeyboard::UnicodeEvent(char16_t unit, bool up, std::uintptr_t) {
  SimKeyRecord record;
  record.unit = unit;
  record.flags = up ? static_cast<std::uint32_t>(kKeyUp) : 0u;
  log.push_back(record);
  if (!up) desktop_.InsertText(Utf16ToAnsi(std::u16string(1, unit)));
}

void SimKeyboard::Press(std::uint8_t vk) { KeyEvent(vk, kHardwareScan, 0); }
void SimKeyboard::Release(std::uint8_t vk) { KeyEvent(vk, kHardwareScan, kKeyUp); }

void SimKeyboard::Tap(std::uint8_t vk) {
  Press(vk);
  Release(vk);
}

void SimKeyboard::Type(const std::string& text) {
  for (char ch : text) {
    std::int16_t scan = VkKeyScan(ch);
    if (scan == -1) continue;
    std::uint8_t vk = static_cast<std::uint8_t>(scan & 0xFF);
    bool shift = (scan & 0x100) != 0;
    unsigned char c = static_cast<unsigned char>(ch);
    // With Caps Lock on, letters take the opposite Shift.
    if (capsLock_ && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) shift = !shift;
    if (shift) Press(kVkShift);
    Tap(vk);
    if (shift) Release(kVkShift);
  }
}

}  // namespace platform::sim
