// Macro typing speed: how long a completion text takes from Parse to the
// last queued key event (everything runs on the user-interface thread before
// the target reads a key), for a short shorthand, a 64 KiB text, and a text
// full of '%' signs that are no tokens.
#include "output/MacroTyper.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace {

class CountingKeyboard final : public platform::KeyboardOutput, public platform::Clipboard {
 public:
  void KeyEvent(std::uint8_t, std::uint16_t, std::uint32_t) override { ++events; }
  void UnicodeEvent(char16_t, bool, std::uintptr_t) override { ++events; }
  std::int16_t VkKeyScan(char c) override {
    auto u = static_cast<unsigned char>(c);
    return u < 0x80 ? static_cast<std::int16_t>(u >= 'a' && u <= 'z' ? u - 32 : u) : -1;
  }
  bool CapsLockOn() override { return false; }
  bool Open() override { return true; }
  void Empty() override {}
  bool SetText(const std::string&) override { return true; }
  bool OfferText(const std::string&) override { return true; }
  bool OfferTaken() override { return true; }
  void Close() override {}
  std::vector<Item> Contents() override { return {}; }
  bool SetContents(const std::vector<Item>&) override { return true; }
  std::uint32_t SequenceNumber() override { return 0; }
  std::int64_t events = 0;
};

std::tm FixedTime() {
  std::tm t = {};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 4;
  t.tm_wday = 5;
  t.tm_hour = 14;
  return t;
}

void TypeText(benchmark::State& state, const std::string& text) {
  CountingKeyboard keyboard;
  for (auto _ : state) {
    output::MacroTyper typer(keyboard, keyboard, FixedTime);
    typer.Parse(text);
    typer.TypeOut(0);
    benchmark::DoNotOptimize(keyboard.events);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}

void BM_ShorthandWithMacros(benchmark::State& state) {
  TypeText(state, "Dear %FULLWEEKNAME%,\r\n\r\nThank you for your letter of %DATE%.%RETURN%"
                  "Kind regards,%TAB%<b>%CARET%</b>");
}
BENCHMARK(BM_ShorthandWithMacros);

void BM_LongPlainText(benchmark::State& state) {
  std::string text;
  while (text.size() < 64 * 1024) text += "the quick brown fox jumps over the lazy dog. ";
  TypeText(state, text);
}
BENCHMARK(BM_LongPlainText);

void BM_PercentSignsWithoutTokens(benchmark::State& state) {
  std::string text;
  while (text.size() < 64 * 1024) text += "50% of %x% %date% %";
  TypeText(state, text);
}
BENCHMARK(BM_PercentSignsWithoutTokens);

}  // namespace

BENCHMARK_MAIN();
