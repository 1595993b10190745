// What each code-page backend (posix/, win32/) provides; CodePage.cpp builds
// the public functions of CodePage.h on top of it. Not for use elsewhere.
#pragma once

#include <string>
#include <string_view>

namespace platform::cpbackend {

int CurrentCodePage();
bool SelectCodePage(int codePage);

// Whole-text conversions; bytes that are no character become U+FFFD, units
// the code page lacks become '?'.
std::u16string ToUtf16(std::string_view text);
std::string FromUtf16(std::u16string_view text);

// Exact conversions of one character: length is 1 or 2 bytes. CharToUnit
// fails unless the bytes are exactly one character that maps to one UTF-16
// unit; UnitToChar returns the byte count written (1 or 2), 0 when the code
// page has no such character.
bool CharToUnit(const unsigned char* bytes, int length, char16_t& unit);
int UnitToChar(char16_t unit, unsigned char out[2]);

bool IsLeadByte(unsigned char byte);
char16_t LowerUnit(char16_t unit);
char16_t UpperUnit(char16_t unit);
bool IsAlphaByte(unsigned char byte);
bool IsAlphaNumericByte(unsigned char byte);

}  // namespace platform::cpbackend
