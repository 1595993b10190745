// Code pages through the system: the ANSI code page is the system's, and the
// system's own tables convert, map case and classify letters.
#include <windows.h>

#include <string>

#include "platform/CodePageBackend.h"

namespace platform::cpbackend {

int CurrentCodePage() { return static_cast<int>(GetACP()); }

bool SelectCodePage(int codePage) { return codePage == static_cast<int>(GetACP()); }

std::u16string ToUtf16(std::string_view text) {
  if (text.empty()) return {};
  const int inLength = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), inLength, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, text.data(), inLength, wide.data(), needed);
  if (written <= 0) return {};
  return std::u16string(wide.begin(), wide.begin() + written);
}

std::string FromUtf16(std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring wide(text.begin(), text.end());
  const int inLength = static_cast<int>(wide.size());
  // No best-fit substitutes: a character the code page lacks becomes '?',
  // never a look-alike letter.
  const int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), inLength,
                                         nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<size_t>(needed), '\0');
  const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), inLength,
                                          out.data(), needed, nullptr, nullptr);
  if (written <= 0) return {};
  out.resize(static_cast<size_t>(written));
  return out;
}

bool CharToUnit(const unsigned char* bytes, int length, char16_t& unit) {
  if (length < 1 || length > 2) return false;
  WCHAR wide[2] = {0, 0};
  const int written = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS,
                                          reinterpret_cast<const char*>(bytes), length, wide, 2);
  if (written != 1) return false;
  unit = static_cast<char16_t>(wide[0]);
  return true;
}

int UnitToChar(char16_t unit, unsigned char out[2]) {
  if (unit >= 0xD800 && unit <= 0xDFFF) return 0;
  const WCHAR wide = static_cast<WCHAR>(unit);
  char bytes[4] = {0, 0, 0, 0};
  BOOL usedDefault = FALSE;
  const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes,
                                          sizeof bytes, nullptr, &usedDefault);
  if (written < 1 || written > 2 || usedDefault) return 0;
  out[0] = static_cast<unsigned char>(bytes[0]);
  out[1] = static_cast<unsigned char>(bytes[1]);
  return written;
}

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

char16_t LowerUnit(char16_t unit) {
  WCHAR wide = static_cast<WCHAR>(unit);
  CharLowerBuffW(&wide, 1);
  return static_cast<char16_t>(wide);
}

char16_t UpperUnit(char16_t unit) {
  WCHAR wide = static_cast<WCHAR>(unit);
  CharUpperBuffW(&wide, 1);
  return static_cast<char16_t>(wide);
}

bool IsAlphaByte(unsigned char byte) { return IsCharAlphaA(static_cast<CHAR>(byte)) != FALSE; }

bool IsAlphaNumericByte(unsigned char byte) {
  return IsCharAlphaNumericA(static_cast<CHAR>(byte)) != FALSE;
}

}  // namespace platform::cpbackend
