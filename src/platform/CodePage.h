// Text in the system's ANSI code page: conversions to and from UTF-16 and
// UTF-8, double-byte (DBCS) character boundaries, case mapping and letter
// tests. All 8-bit text in Quillet is in this code page; conversions to other
// encodings happen only at file boundaries.
//
// Backends: on Windows the code page is the system's ANSI code page and the
// work is done by the system (MultiByteToWideChar, CharLowerBuffW,
// IsCharAlphaA, ...). Elsewhere iconv converts, and the code page is a
// setting: SetAnsiCodePage, or the environment variable QUILLET_CODEPAGE read
// at first use; the default is 1252. 932, 936, 949 and 950 are double-byte.
//
// Case mapping is done character by character and never changes a text's byte
// length: a character whose other case is not a character of the same byte
// length in the code page stays as it is. Double-byte characters are never
// split, so a trail byte that looks like an ASCII letter is never changed.
//
// Threading: every function may be called from any thread, except that
// SetAnsiCodePage must not run while other threads use text functions.
// Failure: nothing throws; bytes that are not a character of the code page
// convert to U+FFFD (to '?' in the other direction).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The code page all 8-bit text is in (1252, 932, ...).
int AnsiCodePage();
// Selects the code page (not on Windows, where it is the system's: there it
// returns true only for the system's own code page). False when the code
// page is unknown; the previous one then stays.
bool SetAnsiCodePage(int codePage);

std::u16string AnsiToUtf16(std::string_view text);
std::string Utf16ToAnsi(std::u16string_view text);
// Invalid UTF-8 sequences and unpaired surrogates become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

// Whether the byte starts a double-byte character in the code page.
bool IsDbcsLeadByte(unsigned char byte);
// Byte length (1 or 2) of the character that starts at text[pos]: 2 for a
// lead byte followed by a non-zero byte inside text.
size_t CharLength(std::string_view text, size_t pos);

// Lower-cases every character (single- and double-byte) of the code page
// (what _mbslwr does).
void MbsLowerInPlace(std::string& text);
std::string MbsLower(std::string_view text);
// Character-wise comparison ignoring case: single-byte characters compare
// lower-cased, double-byte characters upper-cased as the 16-bit value
// lead * 256 + trail (what _mbsicmp does). The end of a view counts as a NUL,
// and so does an embedded NUL. Result < 0, 0 or > 0.
int MbsCompareNoCase(std::string_view a, std::string_view b);
// Byte offset of the first occurrence of needle in text that starts on a
// character boundary, or std::string_view::npos. An empty needle is found
// at 0.
size_t MbsFind(std::string_view text, std::string_view needle);

// The C runtime's "C" locale rules: only the ASCII letters have a case.
bool IsAsciiUpper(unsigned char byte);                   // isupper
unsigned char AsciiToUpper(unsigned char byte);           // toupper
int AsciiCompareNoCase(std::string_view a, std::string_view b);  // _stricmp
// Upper-cases the ASCII letters (what _strupr does), leaving the trail bytes
// of double-byte characters alone.
void AsciiUpperInPlace(std::string& text);

// Whether the single byte is a letter (IsCharAlphaA) or a letter or digit
// (IsCharAlphaNumericA) in the code page. A DBCS lead byte on its own is
// neither.
bool IsCharAlpha(unsigned char byte);
bool IsCharAlphaNumeric(unsigned char byte);

}  // namespace platform
