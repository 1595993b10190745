// A storage file held in memory: for tests, fuzzing and benchmarks. It can
// apply the position-XOR layer of dictionary files, and it can lose every
// write after the first `writesBeforeCrash` ones, as a crash at that moment
// would.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "mk/mk4.h"

class MemoryStrategy : public c4_Strategy {
 public:
  explicit MemoryStrategy(std::vector<uint8_t> bytes = {}, bool xorLayer = false)
      : bytes(std::move(bytes)), _xor(xorLayer) {}

  bool IsValid() const override { return true; }
  int DataRead(t4_i32 pos, void* buffer, int length) override {
    ++reads;
    if (pos < 0 || length <= 0 || static_cast<size_t>(pos) >= bytes.size()) return 0;
    size_t n = std::min(static_cast<size_t>(length), bytes.size() - pos);
    std::memcpy(buffer, bytes.data() + pos, n);
    if (_xor) Flip(pos, static_cast<uint8_t*>(buffer), n);
    return static_cast<int>(n);
  }
  void DataWrite(t4_i32 pos, const void* buffer, int length) override {
    if (length <= 0) return;
    ++writes;
    if (writesBeforeCrash >= 0 && writes > writesBeforeCrash) {
      ++_failure;
      return;
    }
    if (bytes.size() < static_cast<size_t>(pos) + length) bytes.resize(pos + length, 0);
    std::memcpy(bytes.data() + pos, buffer, length);
    if (_xor) Flip(pos, bytes.data() + pos, length);
  }
  t4_i32 FileSize() override { return static_cast<t4_i32>(bytes.size()); }

  std::vector<uint8_t> bytes;
  long writesBeforeCrash = -1;  // -1: never fail
  long writes = 0;
  long reads = 0;

 private:
  static void Flip(t4_i32 pos, uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) p[i] ^= static_cast<uint8_t>((pos + i) ^ 0x1B5);
  }
  bool _xor;
};

