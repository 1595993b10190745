#include <cstdio>

#include "mk/mk4.h"

c4_Strategy::c4_Strategy() = default;
c4_Strategy::~c4_Strategy() = default;

bool c4_Strategy::IsValid() const { return false; }
int c4_Strategy::DataRead(t4_i32, void*, int) { return 0; }
void c4_Strategy::DataWrite(t4_i32, const void*, int) { ++_failure; }
void c4_Strategy::DataCommit(t4_i32) {}
void c4_Strategy::ResetFileMapping() {}
t4_i32 c4_Strategy::FileSize() { return 0; }
t4_i32 c4_Strategy::FreshGeneration() { return 0; }

c4_FileStrategy::c4_FileStrategy(FILE* file) : _file(file), _cleanup(nullptr) {}

c4_FileStrategy::~c4_FileStrategy() {
  if (_cleanup) std::fclose(_cleanup);
}

bool c4_FileStrategy::IsValid() const { return _file != nullptr; }

bool c4_FileStrategy::DataOpen(const char* fileName, int mode) {
  if (_cleanup) {
    std::fclose(_cleanup);
    _cleanup = nullptr;
  }
  _file = nullptr;
  if (!fileName) return false;
  FILE* f = std::fopen(fileName, mode == 0 ? "rb" : "r+b");
  if (!f && mode != 0) {
    // "wx" would fail on a race with another creator; "ab" creates the file
    // without truncating one that appeared meanwhile.
    FILE* create = std::fopen(fileName, "ab");
    if (create) {
      std::fclose(create);
      f = std::fopen(fileName, "r+b");
    }
  }
  if (!f) return false;
  _file = _cleanup = f;
  std::fseek(f, 0, SEEK_END);
  if (std::ftell(f) > 0) ResetFileMapping();
  return true;
}

int c4_FileStrategy::DataRead(t4_i32 pos, void* buffer, int length) {
  if (!_file || pos < 0 || length <= 0) return 0;
  if (std::fseek(_file, pos, SEEK_SET) != 0) return 0;
  return static_cast<int>(std::fread(buffer, 1, static_cast<size_t>(length), _file));
}

void c4_FileStrategy::DataWrite(t4_i32 pos, const void* buffer, int length) {
  if (length <= 0) return;
  if (!_file || pos < 0 || std::fseek(_file, pos, SEEK_SET) != 0 ||
      std::fwrite(buffer, 1, static_cast<size_t>(length), _file) != static_cast<size_t>(length)) {
    ++_failure;
  }
}

void c4_FileStrategy::DataCommit(t4_i32) {
  if (_file && std::fflush(_file) != 0) ++_failure;
}

void c4_FileStrategy::ResetFileMapping() {}

t4_i32 c4_FileStrategy::FileSize() {
  if (!_file || std::fseek(_file, 0, SEEK_END) != 0) return 0;
  long size = std::ftell(_file);
  if (size < 0 || size > 0x7FFFFFFF) return 0;
  return static_cast<t4_i32>(size);
}

t4_i32 c4_FileStrategy::FreshGeneration() { return 0; }
