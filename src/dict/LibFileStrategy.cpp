#include "dict/LibFileStrategy.h"

#include <vector>

CLibFileStrategy::~CLibFileStrategy() = default;

unsigned char LibFileMask(t4_i32 pos) {
  return static_cast<unsigned char>((static_cast<uint32_t>(pos) ^ 0x1B5u) & 0xFFu);
}

void ApplyLibFileMask(t4_i32 pos, unsigned char* bytes, int length) {
  for (int i = 0; i < length; ++i) bytes[i] ^= LibFileMask(pos + i);
}

int CLibFileStrategy::DataRead(t4_i32 pos, void* buffer, int length) {
  if (length < 1) return 0;
  const int got = c4_FileStrategy::DataRead(pos, buffer, length);
  if (got > 0) ApplyLibFileMask(pos, static_cast<unsigned char*>(buffer), got);
  return got;
}

void CLibFileStrategy::DataWrite(t4_i32 pos, const void* buffer, int length) {
  if (length < 1) return;
  // The caller's buffer is the storage's own data: mask a copy.
  const auto* source = static_cast<const unsigned char*>(buffer);
  std::vector<unsigned char> masked(source, source + length);
  ApplyLibFileMask(pos, masked.data(), length);
  c4_FileStrategy::DataWrite(pos, masked.data(), length);
}

// Dictionary files are never flushed or cut at commit time; the file reaches
// the disk when the strategy closes it.
void CLibFileStrategy::DataCommit(t4_i32) {}

// No memory mapping: every byte must pass through DataRead to be unmasked.
void CLibFileStrategy::ResetFileMapping() {}

namespace {

constexpr unsigned char kRecordMask = 0x1D;

unsigned char Scramble(unsigned char b) {
  const unsigned x = b ^ kRecordMask;
  return static_cast<unsigned char>(((x << 5) & 0xFF) | (x >> 3));
}

unsigned char Unscramble(unsigned char b) {
  const unsigned x = ((b << 3) & 0xFF) | (b >> 5);
  return static_cast<unsigned char>(x ^ kRecordMask);
}

}  // namespace

void ScrambleRecordText(char* text, int length) {
  for (int i = 0; i < length; ++i)
    text[i] = static_cast<char>(Scramble(static_cast<unsigned char>(text[i])));
}

void UnscrambleRecordText(char* text, int length) {
  for (int i = 0; i < length; ++i)
    text[i] = static_cast<char>(Unscramble(static_cast<unsigned char>(text[i])));
}

void ScrambleRecordText(std::string& text) {
  ScrambleRecordText(text.data(), static_cast<int>(text.size()));
}

void UnscrambleRecordText(std::string& text) {
  UnscrambleRecordText(text.data(), static_cast<int>(text.size()));
}
