#include "platform/CodePage.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/CodePageBackend.h"

namespace platform {
namespace {

// Case maps and letter tests of one code page, built once per code page from
// the backend's single-character primitives and never changed afterwards, so
// readers need no lock.
struct CodePageTables {
  int codePage = 0;
  std::array<bool, 256> lead{};
  std::array<unsigned char, 256> lower{};
  std::array<unsigned char, 256> upper{};
  std::array<bool, 256> alpha{};
  std::array<bool, 256> alphaNumeric{};
  bool doubleByte = false;
  // Only the double-byte characters whose case mapping differs, keyed and
  // valued by lead * 256 + trail.
  std::unordered_map<uint16_t, uint16_t> lowerDouble;
  std::unordered_map<uint16_t, uint16_t> upperDouble;
};

// Maps one character through a UTF-16 case function. Keeps the character
// when its other case is not a character of the same byte length.
bool MapCase(const unsigned char* bytes, int length, bool toUpper, unsigned char out[2]) {
  char16_t unit = 0;
  if (!cpbackend::CharToUnit(bytes, length, unit)) return false;
  char16_t mapped = toUpper ? cpbackend::UpperUnit(unit) : cpbackend::LowerUnit(unit);
  if (mapped == unit) return false;
  unsigned char result[2] = {0, 0};
  if (cpbackend::UnitToChar(mapped, result) != length) return false;
  // The mapped character must come back as itself, or the mapping would not
  // be a character of this code page but a substitute.
  char16_t back = 0;
  if (!cpbackend::CharToUnit(result, length, back) || back != mapped) return false;
  out[0] = result[0];
  out[1] = result[1];
  return true;
}

std::unique_ptr<CodePageTables> BuildTables(int codePage) {
  auto tables = std::make_unique<CodePageTables>();
  tables->codePage = codePage;
  for (int b = 0; b < 256; ++b) {
    unsigned char byte = static_cast<unsigned char>(b);
    tables->lead[b] = b >= 0x80 && cpbackend::IsLeadByte(byte);
    if (tables->lead[b]) tables->doubleByte = true;
    tables->lower[b] = byte;
    tables->upper[b] = byte;
    if (tables->lead[b] || b == 0) continue;
    unsigned char mapped[2];
    if (MapCase(&byte, 1, false, mapped)) tables->lower[b] = mapped[0];
    if (MapCase(&byte, 1, true, mapped)) tables->upper[b] = mapped[0];
    tables->alpha[b] = cpbackend::IsAlphaByte(byte);
    tables->alphaNumeric[b] = cpbackend::IsAlphaNumericByte(byte);
  }
  if (tables->doubleByte) {
    for (int lead = 0x80; lead < 256; ++lead) {
      if (!tables->lead[lead]) continue;
      for (int trail = 0x40; trail < 0xFF; ++trail) {
        const unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                       static_cast<unsigned char>(trail)};
        const uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
        unsigned char mapped[2];
        if (MapCase(pair, 2, false, mapped))
          tables->lowerDouble[code] = static_cast<uint16_t>(mapped[0] << 8 | mapped[1]);
        if (MapCase(pair, 2, true, mapped))
          tables->upperDouble[code] = static_cast<uint16_t>(mapped[0] << 8 | mapped[1]);
      }
    }
  }
  return tables;
}

std::mutex g_tablesMutex;
std::map<int, std::unique_ptr<CodePageTables>> g_allTables;  // guarded by g_tablesMutex
std::atomic<const CodePageTables*> g_current{nullptr};

const CodePageTables& Tables() {
  const int codePage = cpbackend::CurrentCodePage();
  const CodePageTables* current = g_current.load(std::memory_order_acquire);
  if (current != nullptr && current->codePage == codePage) return *current;
  std::lock_guard<std::mutex> lock(g_tablesMutex);
  auto& slot = g_allTables[codePage];
  if (!slot) slot = BuildTables(codePage);
  g_current.store(slot.get(), std::memory_order_release);
  return *slot;
}

uint16_t MapDouble(const std::unordered_map<uint16_t, uint16_t>& map, uint16_t code) {
  auto it = map.find(code);
  return it == map.end() ? code : it->second;
}

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

int AnsiCodePage() { return cpbackend::CurrentCodePage(); }

bool SetAnsiCodePage(int codePage) { return cpbackend::SelectCodePage(codePage); }

std::u16string AnsiToUtf16(std::string_view text) {
  if (IsAscii(text)) return std::u16string(text.begin(), text.end());
  return cpbackend::ToUtf16(text);
}

std::string Utf16ToAnsi(std::u16string_view text) {
  bool ascii = true;
  for (char16_t unit : text)
    if (unit >= 0x80) ascii = false;
  if (ascii) {
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) out += static_cast<char>(unit);
    return out;
  }
  // No ANSI code page has characters beyond the BMP: a surrogate pair (or a
  // lone surrogate) is one character the code page lacks, one '?', on every
  // system alike.
  std::u16string bmp;
  bmp.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      if (unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
      bmp += u'?';
    } else {
      bmp += unit;
    }
  }
  return cpbackend::FromUtf16(bmp);
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  const size_t n = text.size();
  auto byteAt = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  while (i < n) {
    const unsigned char b = byteAt(i);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    int extra = 0;
    uint32_t cp = 0;
    uint32_t minimum = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1, cp = b & 0x1F, minimum = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2, cp = b & 0x0F, minimum = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3, cp = b & 0x07, minimum = 0x10000;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    // Take continuation bytes as long as they are there; a sequence cut
    // short becomes one replacement character and reading goes on at the
    // byte that broke it.
    size_t k = i + 1;
    int got = 0;
    while (got < extra && k < n && (byteAt(k) & 0xC0) == 0x80) {
      cp = cp << 6 | (byteAt(k) & 0x3F);
      ++k;
      ++got;
    }
    if (got < extra || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += u'\uFFFD';
      i = got < extra ? k : i + 1 + extra;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i = k;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const uint32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::string AnsiToUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  return Utf16ToUtf8(AnsiToUtf16(text));
}

std::string Utf8ToAnsi(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  return Utf16ToAnsi(Utf8ToUtf16(text));
}

bool IsDbcsLeadByte(unsigned char byte) { return Tables().lead[byte]; }

size_t CharLength(std::string_view text, size_t pos) {
  if (pos + 1 < text.size() && Tables().lead[static_cast<unsigned char>(text[pos])] &&
      text[pos + 1] != '\0')
    return 2;
  return 1;
}

void MbsLowerInPlace(std::string& text) {
  const CodePageTables& t = Tables();
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (t.lead[b] && i + 1 < n && text[i + 1] != '\0') {
      const uint16_t code = static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(text[i + 1]));
      const uint16_t lowered = MapDouble(t.lowerDouble, code);
      text[i] = static_cast<char>(lowered >> 8);
      text[i + 1] = static_cast<char>(lowered & 0xFF);
      ++i;
    } else {
      text[i] = static_cast<char>(t.lower[b]);
    }
  }
}

std::string MbsLower(std::string_view text) {
  std::string out(text);
  MbsLowerInPlace(out);
  return out;
}

int MbsCompareNoCase(std::string_view a, std::string_view b) {
  const CodePageTables& t = Tables();
  size_t i = 0;
  size_t j = 0;
  // One character of s at pos as a comparable value; 0 at the end.
  auto next = [&t](std::string_view s, size_t& pos) -> unsigned {
    if (pos >= s.size()) return 0;
    const unsigned char c = static_cast<unsigned char>(s[pos++]);
    if (c == 0) return 0;
    if (t.lead[c]) {
      if (pos >= s.size() || s[pos] == '\0') return 0;  // a lead byte before the end ends the text
      const uint16_t code = static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(s[pos++]));
      return MapDouble(t.upperDouble, code);
    }
    return t.lower[c];
  };
  for (;;) {
    const unsigned ca = next(a, i);
    const unsigned cb = next(b, j);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

size_t MbsFind(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  const CodePageTables& t = Tables();
  for (size_t i = 0; i < text.size();) {
    if (text.size() - i < needle.size()) break;
    if (text.compare(i, needle.size(), needle) == 0) return i;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    i += (t.lead[c] && i + 1 < text.size() && text[i + 1] != '\0') ? 2 : 1;
  }
  return std::string_view::npos;
}

bool IsAsciiUpper(unsigned char byte) { return byte >= 'A' && byte <= 'Z'; }

unsigned char AsciiToUpper(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

int AsciiCompareNoCase(std::string_view a, std::string_view b) {
  auto lower = [](unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
  };
  for (size_t i = 0;; ++i) {
    const unsigned char ca = i < a.size() ? lower(static_cast<unsigned char>(a[i])) : 0;
    const unsigned char cb = i < b.size() ? lower(static_cast<unsigned char>(b[i])) : 0;
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

void AsciiUpperInPlace(std::string& text) {
  const CodePageTables& t = Tables();
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (t.lead[c] && i + 1 < text.size() && text[i + 1] != '\0') {
      ++i;  // the trail byte of a double-byte character is not a letter
      continue;
    }
    text[i] = static_cast<char>(AsciiToUpper(c));
  }
}

bool IsCharAlpha(unsigned char byte) { return Tables().alpha[byte]; }

bool IsCharAlphaNumeric(unsigned char byte) { return Tables().alphaNumeric[byte]; }

}  // namespace platform
