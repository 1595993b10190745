#include "mk/format.h"

namespace mk {

uint32_t VarReader::Next() {
  uint64_t value = 0;
  for (int i = 0;; ++i) {
    if (_p >= _end || i >= 5) {
      _bad = true;
      return 0;
    }
    uint8_t b = *_p++;
    value = (value << 7) | (b & 0x7F);
    if (b & 0x80) break;
  }
  if (value > 0x7FFFFFFF) {
    _bad = true;
    return 0;
  }
  return static_cast<uint32_t>(value);
}

const uint8_t* VarReader::Take(size_t n) {
  if (static_cast<size_t>(_end - _p) < n) {
    _bad = true;
    _p = _end;
    return nullptr;
  }
  const uint8_t* start = _p;
  _p += n;
  return start;
}

void PutVarint(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (n > 1) out.push_back(groups[--n]);
  out.push_back(groups[0] | 0x80);
}

// For 1 to 7 entries in 1 to 6 bytes the width cannot be derived by division;
// these are the widths such sizes stand for (0 = no valid width).
static const int kSmallWidths[7][6] = {
    {8, 16, 1, 32, 2, 4}, {4, 8, 1, 16, 2, 0}, {2, 4, 8, 1, 0, 16},
    {2, 4, 0, 8, 1, 0},   {1, 2, 4, 0, 8, 0},  {1, 2, 4, 0, 0, 8},
    {1, 2, 0, 4, 0, 0}};

int VectorWidth(uint32_t n, uint32_t b) {
  if (b == 0) return 0;
  if (n == 0) return -1;
  int width;
  if (n <= 7 && b <= 6) {
    width = kSmallWidths[n - 1][b - 1];
    if (width == 0) return -1;
  } else {
    uint64_t w = (static_cast<uint64_t>(b) * 8) / n;
    switch (w) {
      case 1: case 2: case 4: case 8: case 16: case 32: case 64:
        width = static_cast<int>(w);
        break;
      default:
        return -1;
    }
  }
  // The bytes must hold every entry.
  if ((static_cast<uint64_t>(n) * width + 7) / 8 > b) return -1;
  return width;
}

int32_t VectorGet(const uint8_t* data, int width, uint32_t i, bool bigEndian) {
  switch (width) {
    case 0:
      return 0;
    case 1:
    case 2:
    case 4: {
      uint64_t bit = static_cast<uint64_t>(i) * width;
      return (data[bit / 8] >> (bit % 8)) & ((1 << width) - 1);
    }
    case 8:
      return static_cast<int8_t>(data[i]);
    case 16: {
      const uint8_t* p = data + 2 * static_cast<size_t>(i);
      uint16_t v = bigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
      return static_cast<int16_t>(v);
    }
    case 32: {
      const uint8_t* p = data + 4 * static_cast<size_t>(i);
      uint32_t v = bigEndian
                       ? (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3])
                       : (uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
      return static_cast<int32_t>(v);
    }
    default:  // 64-bit entries belong to types this library does not read
      return 0;
  }
}

std::vector<uint8_t> PackVector(const std::vector<int32_t>& values, bool bigEndian) {
  int32_t lo = 0, hi = 0;
  for (int32_t v : values) {
    if (v < lo) lo = v;
    if (v > hi) hi = v;
  }
  int width;
  if (lo == 0 && hi == 0) width = 0;
  else if (lo >= 0 && hi <= 1) width = 1;
  else if (lo >= 0 && hi <= 3) width = 2;
  else if (lo >= 0 && hi <= 15) width = 4;
  else if (lo >= -128 && hi <= 127) width = 8;
  else if (lo >= -32768 && hi <= 32767) width = 16;
  else width = 32;

  std::vector<uint8_t> out;
  if (width == 0) return out;
  size_t n = values.size();
  size_t bytes = (n * width + 7) / 8;
  if (width < 8 && n <= 4) {
    static const int kArtificial[3][4] = {{3, 3, 4, 5}, {5, 5, 1, 1}, {6, 1, 2, 2}};
    bytes = kArtificial[width == 1 ? 0 : width == 2 ? 1 : 2][n - 1];
  }
  out.assign(bytes, 0);
  for (size_t i = 0; i < n; ++i) {
    uint32_t v = static_cast<uint32_t>(values[i]);
    switch (width) {
      case 1:
      case 2:
      case 4: {
        size_t bit = i * width;
        out[bit / 8] |= static_cast<uint8_t>(v << (bit % 8));
        break;
      }
      case 8:
        out[i] = static_cast<uint8_t>(v);
        break;
      case 16:
        out[2 * i + (bigEndian ? 1 : 0)] = static_cast<uint8_t>(v);
        out[2 * i + (bigEndian ? 0 : 1)] = static_cast<uint8_t>(v >> 8);
        break;
      default:
        for (int k = 0; k < 4; ++k)
          out[4 * i + (bigEndian ? 3 - k : k)] = static_cast<uint8_t>(v >> (8 * k));
        break;
    }
  }
  return out;
}

}  // namespace mk
