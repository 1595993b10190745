#include "config/IniFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Profile.h"

namespace {

constexpr std::uint32_t kGrowStep = 512;
constexpr char kMissingSentinel[] = "{63788286-AE30-4D6B-95DF-3B451C1C79F9}";

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EqualNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (Lower(*a) != Lower(*b)) return false;
  return *a == *b;
}

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(std::string s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsTrimmed(s[b])) ++b;
  while (e > b && IsTrimmed(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Splits a double-NUL list.
std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> out;
  for (std::size_t at = 0; at < list.size() && list[at] != '\0';) {
    std::size_t end = list.find('\0', at);
    if (end == std::string::npos) end = list.size();
    out.emplace_back(list.substr(at, end - at));
    at = end + 1;
  }
  return out;
}

std::string JoinList(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& s : items) {
    out += s;
    out += '\0';
  }
  out += '\0';
  return out;
}

// A list read through a buffer that grows while the result nearly fills it.
template <typename Read>
std::string ReadList(Read read) {
  std::vector<char> buffer;
  for (std::uint32_t size = kGrowStep;; size += kGrowStep) {
    buffer.assign(size, '\0');
    std::uint32_t n = read(buffer.data(), size);
    if (n + 2 < size) {
      std::string list(buffer.data(), n);
      // Make sure the list ends with its empty string whatever the platform
      // left in the buffer.
      if (list.empty() || list.back() != '\0') list += '\0';
      list += '\0';
      if (list.size() == 2) list.assign(1, '\0');
      return list;
    }
  }
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// Unsigned 32-bit conversion as the C library's strtoul does it where long
// has 32 bits: blanks, a sign, "0x" for base 16, digits; too large a number
// gives the largest value; a minus negates.
std::uint32_t ParseUnsigned32(const char* text, int base) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && IsHexDigit(p[2])) p += 2;
  std::uint64_t value = 0;
  bool overflow = false;
  for (; DigitValue(*p) < base; ++p) {
    value = value * std::uint64_t(base) + std::uint64_t(DigitValue(*p));
    if (value > 0xffffffffULL) {
      overflow = true;
      value = 0xffffffffULL;
    }
  }
  if (overflow) return 0xffffffffU;
  std::uint32_t v = std::uint32_t(value);
  return negative ? std::uint32_t(0u - v) : v;
}

int ValidBase(int base) { return (base == 2 || base == 8 || base == 16) ? base : 10; }

std::string FormatUnsigned(unsigned value, int base) {
  char text[72] = {};
  switch (base) {
    case 2: {
      std::string digits;
      do {
        digits.insert(digits.begin(), char('0' + (value & 1)));
        value >>= 1;
      } while (value && digits.size() < 64);
      return digits;
    }
    case 8:
      std::snprintf(text, sizeof text, "%o", value);
      return text;
    case 16:
      std::snprintf(text, sizeof text, "%X", value);
      return text;
    default:
      std::snprintf(text, sizeof text, "%u", value);
      return text;
  }
}

std::string HexText(const void* data, std::uint32_t count) {
  static const char digits[] = "0123456789ABCDEF";
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::string text;
  text.reserve(std::size_t(count) * 2);
  for (std::uint32_t i = 0; i < count; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

}  // namespace

CIniFile::CIniFile(const char* pathName) { SetPathName(pathName); }

CIniFile::CIniFile(const CIniFile& other) { SetPathName(other.m_pszPathName); }

CIniFile& CIniFile::operator=(const CIniFile& other) {
  if (this != &other) SetPathName(other.m_pszPathName);
  return *this;
}

CIniFile::~CIniFile() { delete[] m_pszPathName; }

void CIniFile::SetPathName(const char* pathName) {
  char* copy = nullptr;
  if (pathName) {
    std::size_t n = std::strlen(pathName);
    copy = new char[n + 1];
    std::memcpy(copy, pathName, n + 1);
  }
  delete[] m_pszPathName;
  m_pszPathName = copy;
}

std::uint32_t CIniFile::GetPathName(char* buffer, std::uint32_t size) const {
  std::uint32_t n = m_pszPathName ? std::uint32_t(std::strlen(m_pszPathName)) : 0;
  if (buffer && size) {
    std::uint32_t copied = n < size - 1 ? n : size - 1;
    if (copied) std::memcpy(buffer, m_pszPathName, copied);
    buffer[copied] = '\0';
  }
  return n;
}

std::string CIniFile::GetPathName() const { return m_pszPathName ? m_pszPathName : ""; }

// ---- text ------------------------------------------------------------------

std::string CIniFile::GetString(const char* section, const char* key, const char* defaultValue) const {
  if (!section || !key) return {};
  if (!defaultValue) defaultValue = "";
  std::vector<char> buffer;
  for (std::uint32_t size = kGrowStep;; size += kGrowStep) {
    buffer.assign(size, '\0');
    std::uint32_t n = platform::ProfileGetString(section, key, defaultValue, buffer.data(), size,
                                                 m_pszPathName);
    if (n + 1 < size) return std::string(buffer.data(), n);
  }
}

std::uint32_t CIniFile::GetString(const char* section, const char* key, char* buffer,
                                  std::uint32_t size, const char* defaultValue) const {
  if (!section || !key || !buffer || !size) return 0;
  std::string value = GetString(section, key, defaultValue);
  std::uint32_t n = value.size() < size ? std::uint32_t(value.size()) : size;
  std::memcpy(buffer, value.data(), n);
  if (n < size) buffer[n] = '\0';
  return n;
}

bool CIniFile::WriteString(const char* section, const char* key, const char* value) const {
  if (!section || !key) return false;
  return platform::ProfileWriteString(section, key, value ? value : "", m_pszPathName);
}

bool CIniFile::AppendString(const char* section, const char* key, const char* text) const {
  if (!section || !key || !text) return false;
  std::string value = GetString(section, key) + text;
  return WriteString(section, key, value.c_str());
}

// ---- sections and keys -----------------------------------------------------

bool CIniFile::DeleteKey(const char* section, const char* key) const {
  if (!section || !key) return false;
  return platform::ProfileWriteString(section, key, nullptr, m_pszPathName);
}

bool CIniFile::DeleteSection(const char* section) const {
  if (!section) return false;
  return platform::ProfileWriteString(section, nullptr, nullptr, m_pszPathName);
}

std::string CIniFile::GetKeyLines(const char* section) const {
  if (!section) return std::string(1, '\0');
  return ReadList([&](char* buffer, std::uint32_t size) {
    return platform::ProfileGetSection(section, buffer, size, m_pszPathName);
  });
}

void CIniFile::GetKeyLines(const char* section, std::vector<std::string>& lines) const {
  lines = SplitList(GetKeyLines(section));
}

void CIniFile::GetKeyNames(const char* section, std::vector<std::string>& names) const {
  names.clear();
  for (const std::string& line : SplitList(GetKeyLines(section))) {
    std::size_t eq = line.size() > 1 ? line.find('=', 1) : std::string::npos;
    if (eq == std::string::npos) continue;
    names.push_back(Trimmed(line.substr(0, eq)));
  }
}

std::string CIniFile::GetKeyNames(const char* section) const {
  std::vector<std::string> names;
  GetKeyNames(section, names);
  return JoinList(names);
}

std::string CIniFile::GetSectionNames() const {
  return ReadList([&](char* buffer, std::uint32_t size) {
    return platform::ProfileGetSectionNames(buffer, size, m_pszPathName);
  });
}

void CIniFile::GetSectionNames(std::vector<std::string>& names) const {
  names = SplitList(GetSectionNames());
}

bool CIniFile::IsSectionExist(const char* section) const {
  if (!section) return false;
  std::vector<std::string> names;
  GetSectionNames(names);
  for (const std::string& name : names)
    if (EqualNoCase(name.c_str(), section)) return true;
  return false;
}

bool CIniFile::IsKeyExist(const char* section, const char* key) const {
  if (!section || !key) return false;
  return GetString(section, key, kMissingSentinel) != kMissingSentinel;
}

bool CIniFile::CopySection(const char* from, const char* to, bool failIfExists) const {
  if (!from || !to || EqualNoCase(from, to) || !IsSectionExist(from)) return false;
  if (failIfExists && IsSectionExist(to)) return false;
  std::string lines = GetKeyLines(from);
  DeleteSection(to);
  return platform::ProfileWriteSection(to, lines.c_str(), m_pszPathName);
}

bool CIniFile::MoveSection(const char* from, const char* to, bool failIfExists) const {
  return CopySection(from, to, failIfExists) && DeleteSection(from);
}

bool CIniFile::CopyKey(const char* fromSection, const char* fromKey, const char* toSection,
                       const char* toKey, bool failIfExists) const {
  if (!fromSection || !fromKey || !toSection || !toKey) return false;
  if (EqualNoCase(fromSection, toSection) && EqualNoCase(fromKey, toKey)) return false;
  if (!IsKeyExist(fromSection, fromKey)) return false;
  if (failIfExists && IsKeyExist(toSection, toKey)) return false;
  return WriteString(toSection, toKey, GetString(fromSection, fromKey).c_str());
}

bool CIniFile::MoveKey(const char* fromSection, const char* fromKey, const char* toSection,
                       const char* toKey, bool failIfExists) const {
  return CopyKey(fromSection, fromKey, toSection, toKey, failIfExists) &&
         DeleteKey(fromSection, fromKey);
}

// ---- numbers -----------------------------------------------------------------

std::string CIniFile::ReadNumberText(const char* section, const char* key) const {
  char text[65] = {};
  GetString(section, key, text, 64);
  return text;
}

bool CIniFile::WriteInt(const char* section, const char* key, int value, int base) const {
  if (base == 2 || base == 8 || base == 16) return WriteUInt(section, key, unsigned(value), base);
  char text[32];
  std::snprintf(text, sizeof text, "%d", value);
  return WriteString(section, key, text);
}

int CIniFile::GetInt(const char* section, const char* key, int defaultValue, int base) const {
  return int(GetUInt(section, key, unsigned(defaultValue), base));
}

bool CIniFile::WriteUInt(const char* section, const char* key, unsigned value, int base) const {
  return WriteString(section, key, FormatUnsigned(value, base).c_str());
}

unsigned CIniFile::GetUInt(const char* section, const char* key, unsigned defaultValue, int base) const {
  std::string text = ReadNumberText(section, key);
  if (text.empty()) return defaultValue;
  return ParseUnsigned32(text.c_str(), ValidBase(base));
}

bool CIniFile::IncreaseInt(const char* section, const char* key, int increase, int base) const {
  int value = GetInt(section, key, 0, base);
  return WriteInt(section, key, int(unsigned(value) + unsigned(increase)), base);
}

bool CIniFile::IncreaseUInt(const char* section, const char* key, unsigned increase, int base) const {
  return WriteUInt(section, key, GetUInt(section, key, 0, base) + increase, base);
}

bool CIniFile::WriteBool(const char* section, const char* key, bool value) const {
  return WriteInt(section, key, value ? 1 : 0, 10);
}

bool CIniFile::GetBool(const char* section, const char* key, bool defaultValue) const {
  std::string text = ReadNumberText(section, key);
  if (text.empty()) return defaultValue;
  if (EqualNoCase(text.c_str(), "true") || EqualNoCase(text.c_str(), "yes")) return true;
  return std::strtol(text.c_str(), nullptr, 10) != 0;
}

bool CIniFile::InvertBool(const char* section, const char* key) const {
  return WriteBool(section, key, !GetBool(section, key, false));
}

bool CIniFile::WriteDouble(const char* section, const char* key, double value, int precision) const {
  char format[16] = "%f";
  if (precision > 0) std::snprintf(format, sizeof format, "%%.%df", precision);
  char text[65] = {};
  std::snprintf(text, sizeof text, format, value);
  return WriteString(section, key, text);
}

double CIniFile::GetDouble(const char* section, const char* key, double defaultValue) const {
  std::string text = ReadNumberText(section, key);
  if (text.empty()) return defaultValue;
  return std::strtod(text.c_str(), nullptr);
}

bool CIniFile::IncreaseDouble(const char* section, const char* key, double increase, int precision) const {
  return WriteDouble(section, key, GetDouble(section, key, 0) + increase, precision);
}

bool CIniFile::WriteChar(const char* section, const char* key, char c) const {
  char text[2] = {c, '\0'};
  return WriteString(section, key, text);
}

char CIniFile::GetChar(const char* section, const char* key, char defaultValue) const {
  std::string text = GetString(section, key);
  return text.empty() ? defaultValue : text[0];
}

// ---- binary ------------------------------------------------------------------

bool CIniFile::WriteDataBlock(const char* section, const char* key, const void* data,
                              std::uint32_t count) const {
  if (!data) return false;
  return WriteString(section, key, HexText(data, count).c_str());
}

std::uint32_t CIniFile::GetDataBlock(const char* section, const char* key, void* buffer,
                                     std::uint32_t size, std::uint32_t offset) const {
  if (!section || !key) return 0;
  std::string text = GetString(section, key);
  std::uint32_t n = std::uint32_t(text.size() / 2);
  if (n <= offset) return 0;
  for (char c : text)
    if (!IsHexDigit(c)) return 0;
  if (!buffer) return n - offset;
  std::uint32_t m = n - offset < size ? n - offset : size;
  auto* bytes = static_cast<unsigned char*>(buffer);
  for (std::uint32_t i = 0; i < m; ++i) {
    std::size_t at = std::size_t(offset + i) * 2;
    bytes[i] = static_cast<unsigned char>(HexValue(text[at]) * 16 + HexValue(text[at + 1]));
  }
  return m;
}

bool CIniFile::AppendDataBlock(const char* section, const char* key, const void* data,
                               std::uint32_t count) const {
  if (!data) return false;
  return AppendString(section, key, HexText(data, count).c_str());
}

bool CIniFile::WritePoint(const char* section, const char* key, IniPoint point) const {
  std::int32_t raw[2] = {point.x, point.y};
  return WriteDataBlock(section, key, raw, sizeof raw);
}

IniPoint CIniFile::GetPoint(const char* section, const char* key, IniPoint defaultValue) const {
  std::int32_t raw[2] = {};
  if (GetDataBlock(section, key, raw, sizeof raw) != sizeof raw) return defaultValue;
  return IniPoint{raw[0], raw[1]};
}

bool CIniFile::WriteRect(const char* section, const char* key, const IniRect& rect) const {
  std::int32_t raw[4] = {rect.left, rect.top, rect.right, rect.bottom};
  return WriteDataBlock(section, key, raw, sizeof raw);
}

IniRect CIniFile::GetRect(const char* section, const char* key, const IniRect& defaultValue) const {
  std::int32_t raw[4] = {};
  if (GetDataBlock(section, key, raw, sizeof raw) != sizeof raw) return defaultValue;
  return IniRect{raw[0], raw[1], raw[2], raw[3]};
}

// ---- arrays ------------------------------------------------------------------

bool CIniFile::WriteArray(const char* section, const char* key, const std::vector<std::string>& strings,
                          int count, const char* delimiter) const {
  if (!section || !key) return false;
  if (!delimiter || !*delimiter) delimiter = ",";
  std::size_t n = count < 0 ? strings.size()
                            : (std::size_t(count) < strings.size() ? std::size_t(count) : strings.size());
  std::string value;
  for (std::size_t i = 0; i < n; ++i) {
    if (i) value += delimiter;
    value += strings[i];
  }
  return WriteString(section, key, value.c_str());
}

std::uint32_t CIniFile::GetArray(const char* section, const char* key, char* buffer, std::uint32_t size,
                                 const char* delimiter, bool trim) const {
  if (!section || !key) return 0;
  if (buffer && size) std::memset(buffer, 0, size);
  if (!delimiter) delimiter = ",";
  std::string value = GetString(section, key);
  std::vector<std::string> pieces;
  if (!*delimiter) {
    pieces.push_back(value);
  } else {
    std::size_t dl = std::strlen(delimiter), at = 0;
    for (;;) {
      std::size_t next = value.find(delimiter, at);
      pieces.push_back(value.substr(at, next == std::string::npos ? std::string::npos : next - at));
      if (next == std::string::npos) break;
      at = next + dl;
    }
  }
  // Each piece and its NUL must fit before the list's final NUL.
  std::uint32_t used = 0;
  for (std::string& piece : pieces) {
    if (trim) piece = Trimmed(piece);
    if (piece.empty()) continue;
    if (!buffer || std::size_t(used) + piece.size() + 2 > size) break;
    std::memcpy(buffer + used, piece.data(), piece.size());
    used += std::uint32_t(piece.size() + 1);
  }
  return used;
}

void CIniFile::GetArray(const char* section, const char* key, std::vector<std::string>& strings,
                        const char* delimiter) const {
  strings.clear();
  if (!section || !key) return;
  if (!delimiter) delimiter = ",";
  std::string value = GetString(section, key);
  if (!*delimiter) {
    std::string piece = Trimmed(value);
    if (!piece.empty()) strings.push_back(piece);
    return;
  }
  std::size_t dl = std::strlen(delimiter), at = 0;
  for (;;) {
    std::size_t next = value.find(delimiter, at);
    std::string piece =
        Trimmed(value.substr(at, next == std::string::npos ? std::string::npos : next - at));
    if (!piece.empty()) strings.push_back(piece);
    if (next == std::string::npos) break;
    at = next + dl;
  }
}
