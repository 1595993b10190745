// The two scrambling layers of dictionary files.
//
// File layer: CLibFileStrategy stores every byte of a dictionary file XORed
// with a mask taken from its file position, so the storage library never sees
// the bytes on disk as they are. It never maps the file and never flushes or
// truncates at commit time.
//
// Record layer: in dictionaries marked as scrambled, every byte of a stored
// key and data text goes through ScrambleRecordText.
#pragma once

#include <string>

#include "mk/mk4.h"

class CLibFileStrategy : public c4_FileStrategy {
 public:
  CLibFileStrategy() = default;
  ~CLibFileStrategy() override;

  int DataRead(t4_i32 pos, void* buffer, int length) override;
  void DataWrite(t4_i32 pos, const void* buffer, int length) override;
  void DataCommit(t4_i32 newSize) override;
  void ResetFileMapping() override;
};

// The mask XORed into the byte at file position pos.
unsigned char LibFileMask(t4_i32 pos);
// Applies (and, being its own inverse, removes) the file layer on bytes that
// stand at file position pos onwards.
void ApplyLibFileMask(t4_i32 pos, unsigned char* bytes, int length);

// Record layer, byte by byte over length bytes (or the whole string).
void ScrambleRecordText(char* text, int length);
void UnscrambleRecordText(char* text, int length);
void ScrambleRecordText(std::string& text);
void UnscrambleRecordText(std::string& text);
