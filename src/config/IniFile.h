// Typed access to one profile (INI) file: text, integers in several bases,
// booleans, doubles, characters, binary blocks as hexadecimal text, points,
// rectangles, delimited arrays, and section and key management.
//
// A CIniFile only remembers the file's path; every call reads or writes the
// file through the platform's profile functions, so it is cheap to create
// one on the stack for each load or save.
//
// Failure: every operation with a null section or key name, an absent file,
// section or key, or a malformed value returns 0, false, an empty result or
// the caller's default, and touches nothing. Writes return the platform's
// result. Lists are double-NUL lists: strings one after another, each
// NUL-terminated, and an empty string at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct IniPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const IniPoint&) const = default;
};

struct IniRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const IniRect&) const = default;
};

class CIniFile {
 public:
  CIniFile() = default;
  explicit CIniFile(const char* pathName);
  CIniFile(const CIniFile& other);
  CIniFile& operator=(const CIniFile& other);
  virtual ~CIniFile();

  // A null path empties the stored one.
  void SetPathName(const char* pathName);
  // Copies the path (at most size - 1 characters and a NUL) and returns its
  // length; with no buffer only the length.
  std::uint32_t GetPathName(char* buffer, std::uint32_t size) const;
  std::string GetPathName() const;

  // ---- text ---------------------------------------------------------------
  std::string GetString(const char* section, const char* key, const char* defaultValue = nullptr) const;
  // Copies at most `size` bytes of the value; no NUL is added when the value
  // is cut, so callers pass a zeroed buffer one byte longer than `size`.
  // Returns min(value length, size).
  std::uint32_t GetString(const char* section, const char* key, char* buffer, std::uint32_t size,
                          const char* defaultValue = nullptr) const;
  bool WriteString(const char* section, const char* key, const char* value) const;
  bool AppendString(const char* section, const char* key, const char* text) const;

  // ---- sections and keys --------------------------------------------------
  bool DeleteKey(const char* section, const char* key) const;
  bool DeleteSection(const char* section) const;
  // "key=value" lines of a section, as a double-NUL list.
  std::string GetKeyLines(const char* section) const;
  void GetKeyLines(const char* section, std::vector<std::string>& lines) const;
  // Names of the keys of a section (lines with "=" after their first
  // character), trimmed, as a double-NUL list.
  std::string GetKeyNames(const char* section) const;
  void GetKeyNames(const char* section, std::vector<std::string>& names) const;
  std::string GetSectionNames() const;
  void GetSectionNames(std::vector<std::string>& names) const;
  bool IsSectionExist(const char* section) const;
  bool IsKeyExist(const char* section, const char* key) const;
  bool CopySection(const char* from, const char* to, bool failIfExists) const;
  bool MoveSection(const char* from, const char* to, bool failIfExists = true) const;
  bool CopyKey(const char* fromSection, const char* fromKey, const char* toSection,
               const char* toKey, bool failIfExists) const;
  bool MoveKey(const char* fromSection, const char* fromKey, const char* toSection,
               const char* toKey, bool failIfExists = true) const;

  // ---- numbers --------------------------------------------------------------
  // Bases 2, 8 and 16 write unsigned digits; any other base writes signed
  // decimal. Reading accepts bases 2, 8 and 16 and reads anything else as 10;
  // a leading minus gives the two's complement.
  bool WriteInt(const char* section, const char* key, int value, int base = 10) const;
  int GetInt(const char* section, const char* key, int defaultValue, int base = 10) const;
  bool WriteUInt(const char* section, const char* key, unsigned value, int base = 10) const;
  unsigned GetUInt(const char* section, const char* key, unsigned defaultValue, int base = 10) const;
  bool IncreaseInt(const char* section, const char* key, int increase = 1, int base = 10) const;
  bool IncreaseUInt(const char* section, const char* key, unsigned increase = 1, int base = 10) const;

  bool WriteBool(const char* section, const char* key, bool value) const;
  bool GetBool(const char* section, const char* key, bool defaultValue) const;
  bool InvertBool(const char* section, const char* key) const;

  bool WriteDouble(const char* section, const char* key, double value, int precision = -1) const;
  double GetDouble(const char* section, const char* key, double defaultValue) const;
  bool IncreaseDouble(const char* section, const char* key, double increase, int precision = -1) const;

  bool WriteChar(const char* section, const char* key, char c) const;
  char GetChar(const char* section, const char* key, char defaultValue) const;

  // ---- binary ---------------------------------------------------------------
  bool WriteDataBlock(const char* section, const char* key, const void* data, std::uint32_t count) const;
  // Decodes the hex value from byte number `offset` on into `buffer` (at most
  // `size` bytes) and returns the number of bytes decoded; with no buffer,
  // the number of bytes there are from `offset` on. 0 for a value with a
  // character that is no hexadecimal digit.
  std::uint32_t GetDataBlock(const char* section, const char* key, void* buffer, std::uint32_t size,
                             std::uint32_t offset = 0) const;
  bool AppendDataBlock(const char* section, const char* key, const void* data, std::uint32_t count) const;

  bool WritePoint(const char* section, const char* key, IniPoint point) const;
  IniPoint GetPoint(const char* section, const char* key, IniPoint defaultValue) const;
  bool WriteRect(const char* section, const char* key, const IniRect& rect) const;
  IniRect GetRect(const char* section, const char* key, const IniRect& defaultValue) const;

  // ---- arrays -------------------------------------------------------------
  // Joins the first `count` strings (all of them when count < 0) with the
  // delimiter ("," when none or empty).
  bool WriteArray(const char* section, const char* key, const std::vector<std::string>& strings,
                  int count = -1, const char* delimiter = nullptr) const;
  // Splits the value at each delimiter ("," when none; an empty delimiter
  // keeps the value whole), trims the pieces when asked, drops empty ones and
  // writes them to `buffer` as a double-NUL list of at most `size` bytes.
  // Returns the number of bytes used, the final NUL not counted.
  std::uint32_t GetArray(const char* section, const char* key, char* buffer, std::uint32_t size,
                         const char* delimiter = nullptr, bool trim = true) const;
  void GetArray(const char* section, const char* key, std::vector<std::string>& strings,
                const char* delimiter = nullptr) const;

 private:
  // The value, at most 64 characters, or empty.
  std::string ReadNumberText(const char* section, const char* key) const;

  char* m_pszPathName = nullptr;
};
