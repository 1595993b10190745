// A readable listing of a storage: the structure, the byte order, then every
// row of every view, one line each. String values are quoted, with backslash
// and quote escaped and bytes outside 0x20..0x7E written as \xNN.
#pragma once

#include <string>

#include "mk/mk4.h"

namespace mk {

std::string QuoteBytes(const char* s);
std::string DumpStorage(c4_Storage& storage);

}  // namespace mk
