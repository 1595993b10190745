// Any bytes as a completion text: parse and type it with a recording
// keyboard and clipboard, in a single-byte and in a double-byte code page.
// Nothing may crash or read out of bounds, the pieces must put the text
// stay whole where there is no token, and the caret may move back at most
// as far as the text went forward.
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "output/MacroTyper.h"
#include "platform/CodePage.h"

namespace {

class Recorder final : public platform::KeyboardOutput, public platform::Clipboard {
 public:
  void KeyEvent(std::uint8_t vk, std::uint16_t scan, std::uint32_t flags) override {
    if (scan != platform::kSyntheticScanCode) std::abort();
    ++keyEvents;
    if (vk == 37 && !(flags & platform::kKeyUp)) ++lefts;
  }
  void UnicodeEvent(char16_t, bool, std::uintptr_t) override { ++keyEvents; }
  std::int16_t VkKeyScan(char c) override {
    auto u = static_cast<unsigned char>(c);
    if (u >= 0x80) return -1;
    // Letter keys only, so that a Left press is always a caret move.
    return static_cast<std::int16_t>((u % 2 ? 0x100 : 0) | ('A' + u % 26));
  }
  bool CapsLockOn() override { return capsLock; }
  bool Open() override { return !busy; }
  void Empty() override {}
  bool SetText(const std::string& text) override {
    pasted += text.size();
    return true;
  }
  bool OfferText(const std::string& text) override { return SetText(text); }
  bool OfferTaken() override { return true; }
  void Close() override {}
  std::vector<Item> Contents() override { return {}; }
  bool SetContents(const std::vector<Item>&) override { return true; }
  std::uint32_t SequenceNumber() override { return 0; }

  long long keyEvents = 0, lefts = 0;
  std::size_t pasted = 0;
  bool capsLock = false, busy = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  platform::SetAnsiCodePage(mode & 1 ? 932 : 1252);
  Recorder system;
  system.capsLock = (mode & 2) != 0;
  system.busy = (mode & 4) != 0;
  std::tm when = {};
  when.tm_year = static_cast<int>(mode) * 3 - 400;
  when.tm_mon = mode - 128;
  when.tm_mday = mode % 40;
  when.tm_wday = mode - 100;
  when.tm_hour = mode % 30;
  when.tm_min = mode % 61;
  when.tm_sec = mode % 62;
  output::MacroTyper typer(system, system, [when] { return when; });
  typer.Parse(text);
  typer.TypeOut(0);

  // A text without '%' is one piece; any text gives at least one.
  std::string joined;
  for (const std::string& piece : typer.pieces) joined += piece;
  if (!text.empty() && typer.pieces.empty()) std::abort();
  if (text.find('%') == std::string::npos && !text.empty() &&
      (typer.pieces.size() != 1 || joined != text)) {
    std::abort();
  }
  // Each byte typed is at most one Left press back.
  if (system.lefts > static_cast<long long>(joined.size())) std::abort();
  return 0;
}
