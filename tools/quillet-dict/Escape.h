// How the dictionary tool writes and reads bytes on a line: bytes below 0x20,
// backslash and bytes from 0x7F up become \r, \n, \t, \\ or \xNN.
#pragma once

#include <string>
#include <string_view>

namespace dicttool {

std::string Escape(std::string_view bytes);
// The bytes an escaped argument stands for; false for a malformed escape.
bool Unescape(std::string_view text, std::string& bytes);

}  // namespace dicttool
