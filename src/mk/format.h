// Low-level pieces of the storage file format: varints, packed integer
// vectors and the string order used by Search and Find.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mk {

// Reads bookkeeping numbers from a byte range. Any read past the end, or a
// number that does not fit in 31 bits, marks the reader bad and yields 0.
class VarReader {
 public:
  VarReader(const uint8_t* data, size_t size) : _p(data), _end(data + size) {}
  uint32_t Next();
  bool Bad() const { return _bad; }
  bool AtEnd() const { return _p >= _end; }
  const uint8_t* Pos() const { return _p; }
  // Takes n raw bytes; null (and bad) when fewer are left.
  const uint8_t* Take(size_t n);

 private:
  const uint8_t* _p;
  const uint8_t* _end;
  bool _bad = false;
};

void PutVarint(std::vector<uint8_t>& out, uint32_t value);

// The entry width of a packed vector of n entries stored in b bytes, or -1
// when no width fits (a damaged vector).
int VectorWidth(uint32_t n, uint32_t b);
// Entry i of a packed vector of the given width.
int32_t VectorGet(const uint8_t* data, int width, uint32_t i, bool bigEndian);
// Packs values with the smallest width that holds them all; vectors of one to
// four sub-byte entries get the sizes that let a reader recover the width.
std::vector<uint8_t> PackVector(const std::vector<int32_t>& values, bool bigEndian);

// ASCII letters fold to lower case, then unsigned bytes; the end of a string
// sorts first.
inline int CompareStrings(const char* a, const char* b) {
  for (;;) {
    unsigned ca = static_cast<unsigned char>(*a++);
    unsigned cb = static_cast<unsigned char>(*b++);
    if (ca - 'A' < 26u) ca += 'a' - 'A';
    if (cb - 'A' < 26u) cb += 'a' - 'A';
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

}  // namespace mk
