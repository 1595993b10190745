// Code pages through iconv. The code page is a setting here (Windows has one
// per system): QUILLET_CODEPAGE in the environment, or SetAnsiCodePage.
// Case and letter classes come from the C.UTF-8 locale, which knows all of
// Unicode whatever the process locale is.
#include <errno.h>
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/CodePageBackend.h"

namespace platform::cpbackend {
namespace {

constexpr int kDefaultCodePage = 1252;

const char* Utf16Name() {
  return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

std::string IconvName(int codePage) { return "CP" + std::to_string(codePage); }

// Windows maps the five bytes that 1252 leaves undefined to the C1 controls
// of the same value; iconv refuses them. Keep both systems alike.
bool IsCp1252Hole(unsigned byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// The converters of the selected code page. iconv descriptors keep state
// between calls, so every use holds the mutex.
struct Converters {
  std::mutex mutex;
  int codePage = 0;
  iconv_t toUtf16 = reinterpret_cast<iconv_t>(-1);
  iconv_t fromUtf16 = reinterpret_cast<iconv_t>(-1);
};

Converters& Conv() {
  static Converters converters;
  return converters;
}

std::atomic<int> g_codePage{0};

bool OpenLocked(Converters& c, int codePage) {
  if (codePage == 65001 || codePage <= 0) return false;  // not a multi-byte ANSI code page
  iconv_t to = iconv_open(Utf16Name(), IconvName(codePage).c_str());
  if (to == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_t from = iconv_open(IconvName(codePage).c_str(), Utf16Name());
  if (from == reinterpret_cast<iconv_t>(-1)) {
    iconv_close(to);
    return false;
  }
  if (c.toUtf16 != reinterpret_cast<iconv_t>(-1)) iconv_close(c.toUtf16);
  if (c.fromUtf16 != reinterpret_cast<iconv_t>(-1)) iconv_close(c.fromUtf16);
  c.toUtf16 = to;
  c.fromUtf16 = from;
  c.codePage = codePage;
  g_codePage.store(codePage);
  return true;
}

// Opens the converters on first use, from the environment or the default.
void EnsureOpenLocked(Converters& c) {
  if (c.codePage != 0) return;
  const char* setting = std::getenv("QUILLET_CODEPAGE");
  if (setting != nullptr && OpenLocked(c, std::atoi(setting))) return;
  OpenLocked(c, kDefaultCodePage);
}

locale_t Utf8Locale() {
  static locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (l == static_cast<locale_t>(nullptr))
      l = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(nullptr));
    return l;
  }();
  return locale;
}

// Runs one iconv call over the whole input; stops at the first byte it cannot
// convert. Returns the number of input bytes consumed and appends the output.
size_t ConvertSome(iconv_t cd, const char* in, size_t inLength, std::string& out, int& error) {
  char buffer[1024];
  size_t consumed = 0;
  error = 0;
  while (consumed < inLength) {
    char* inPtr = const_cast<char*>(in + consumed);
    size_t inLeft = inLength - consumed;
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    consumed = inLength - inLeft;
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      error = errno;
      break;
    }
  }
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  return consumed;
}

void AppendUnit(std::string& bytes, char16_t unit) {
  bytes.append(reinterpret_cast<const char*>(&unit), sizeof unit);
}

std::u16string BytesToUnits(const std::string& bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  std::memcpy(units.data(), bytes.data(), units.size() * 2);
  return units;
}

}  // namespace

int CurrentCodePage() {
  int codePage = g_codePage.load();
  if (codePage != 0) return codePage;
  Converters& c = Conv();
  std::lock_guard<std::mutex> lock(c.mutex);
  EnsureOpenLocked(c);
  return c.codePage;
}

bool SelectCodePage(int codePage) {
  Converters& c = Conv();
  std::lock_guard<std::mutex> lock(c.mutex);
  EnsureOpenLocked(c);
  if (codePage == c.codePage) return true;
  return OpenLocked(c, codePage);
}

std::u16string ToUtf16(std::string_view text) {
  Converters& c = Conv();
  std::lock_guard<std::mutex> lock(c.mutex);
  EnsureOpenLocked(c);
  std::string bytes;
  size_t pos = 0;
  while (pos < text.size()) {
    int error = 0;
    pos += ConvertSome(c.toUtf16, text.data() + pos, text.size() - pos, bytes, error);
    if (pos >= text.size()) break;
    const unsigned char bad = static_cast<unsigned char>(text[pos]);
    AppendUnit(bytes, c.codePage == 1252 && IsCp1252Hole(bad) ? char16_t(bad) : u'\uFFFD');
    ++pos;
  }
  return BytesToUnits(bytes);
}

std::string FromUtf16(std::u16string_view text) {
  Converters& c = Conv();
  std::lock_guard<std::mutex> lock(c.mutex);
  EnsureOpenLocked(c);
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    int error = 0;
    const size_t consumed = ConvertSome(c.fromUtf16, reinterpret_cast<const char*>(text.data() + pos),
                                        (text.size() - pos) * 2, out, error);
    pos += consumed / 2;
    if (pos >= text.size()) break;
    const char16_t bad = text[pos];
    if (c.codePage == 1252 && bad < 0x100 && IsCp1252Hole(bad)) {
      out += static_cast<char>(bad);
      ++pos;
      continue;
    }
    out += '?';
    // A surrogate pair the code page lacks is one character, one '?'.
    const bool pair = bad >= 0xD800 && bad <= 0xDBFF && pos + 1 < text.size() &&
                      text[pos + 1] >= 0xDC00 && text[pos + 1] <= 0xDFFF;
    pos += pair ? 2 : 1;
  }
  return out;
}

bool CharToUnit(const unsigned char* bytes, int length, char16_t& unit) {
  if (length < 1 || length > 2) return false;
  Converters& c = Conv();
  std::lock_guard<std::mutex> lock(c.mutex);
  EnsureOpenLocked(c);
  if (length == 1 && c.codePage == 1252 && IsCp1252Hole(bytes[0])) {
    unit = bytes[0];
    return true;
  }
  std::string out;
  int error = 0;
  const size_t consumed =
      ConvertSome(c.toUtf16, reinterpret_cast<const char*>(bytes), static_cast<size_t>(length), out, error);
  if (error != 0 || consumed != static_cast<size_t>(length) || out.size() != 2) return false;
  std::memcpy(&unit, out.data(), 2);
  return true;
}

int UnitToChar(char16_t unit, unsigned char out[2]) {
  if (unit >= 0xD800 && unit <= 0xDFFF) return 0;
  Converters& c = Conv();
  std::lock_guard<std::mutex> lock(c.mutex);
  EnsureOpenLocked(c);
  if (c.codePage == 1252 && unit < 0x100 && IsCp1252Hole(unit)) {
    out[0] = static_cast<unsigned char>(unit);
    return 1;
  }
  std::string bytes;
  int error = 0;
  ConvertSome(c.fromUtf16, reinterpret_cast<const char*>(&unit), 2, bytes, error);
  if (error != 0 || bytes.empty() || bytes.size() > 2) return 0;
  std::memcpy(out, bytes.data(), bytes.size());
  return static_cast<int>(bytes.size());
}

bool IsLeadByte(unsigned char byte) {
  // The lead-byte ranges of the double-byte code pages, as the system's code
  // page tables declare them.
  switch (CurrentCodePage()) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    case 1361:
      return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xDE) ||
             (byte >= 0xE0 && byte <= 0xF9);
    default:
      return false;
  }
}

char16_t LowerUnit(char16_t unit) {
  locale_t l = Utf8Locale();
  if (l == static_cast<locale_t>(nullptr))
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + 32) : unit;
  const wint_t mapped = towlower_l(unit, l);
  return mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : unit;
}

char16_t UpperUnit(char16_t unit) {
  locale_t l = Utf8Locale();
  if (l == static_cast<locale_t>(nullptr))
    return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - 32) : unit;
  const wint_t mapped = towupper_l(unit, l);
  return mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : unit;
}

bool IsAlphaByte(unsigned char byte) {
  char16_t unit = 0;
  if (!CharToUnit(&byte, 1, unit)) return false;
  locale_t l = Utf8Locale();
  if (l == static_cast<locale_t>(nullptr))
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
  return iswalpha_l(unit, l) != 0;
}

bool IsAlphaNumericByte(unsigned char byte) {
  char16_t unit = 0;
  if (!CharToUnit(&byte, 1, unit)) return false;
  // Windows counts the superscript and subscript digits as digits as well.
  const bool digit = (unit >= u'0' && unit <= u'9') || unit == 0x00B2 || unit == 0x00B3 ||
                     unit == 0x00B9 || unit == 0x2070 || (unit >= 0x2074 && unit <= 0x2079) ||
                     (unit >= 0x2080 && unit <= 0x2089) || (unit >= 0xFF10 && unit <= 0xFF19);
  return digit || IsAlphaByte(byte);
}

}  // namespace platform::cpbackend
