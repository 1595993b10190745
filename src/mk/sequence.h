// The rows of one view, held in memory.
//
// Rows live in blocks of at most kMaxBlock rows so that an insertion moves a
// few kilobytes at most, whatever the view's size. Each row holds one 32-bit
// cell per property: an integer, or the offset of a NUL-terminated string in
// the view's StringHeap. Strings are never moved or freed while the sequence
// lives, so a pointer handed out stays valid until the sequence dies.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "mk/mk4.h"

namespace mk {

class StringHeap {
 public:
  StringHeap();
  // Copies n bytes and a terminating NUL; returns the new string's offset.
  // The empty string is offset 0.
  uint32_t Add(const char* s, size_t n);
  // Room for n bytes plus a NUL in one piece; *where receives its address.
  uint32_t Reserve(size_t n, char** where);
  const char* Get(uint32_t offset) const {
    return _pages[offset >> kPageBits] + (offset & (kPageSize - 1));
  }
  size_t BytesHeld() const { return _held; }

 private:
  static constexpr int kPageBits = 16;
  static constexpr uint32_t kPageSize = 1u << kPageBits;
  void NewBuffer(size_t atLeast);

  std::vector<std::unique_ptr<char[]>> _buffers;
  std::vector<char*> _pages;  // one entry per 64 KiB of offset space
  char* _cur = nullptr;       // free room of the newest buffer
  size_t _room = 0;
  uint32_t _next = 0;  // offset of _cur
  size_t _held = 0;
  size_t _nextSize = 256;
};

// Where a column sits in the file.
struct Extent {
  uint32_t size = 0;
  uint32_t pos = 0;
};

// What the current file generation holds for one property.
struct DiskColumn {
  Extent data;   // inline strings, or the integer vector
  Extent sizes;  // string sizes vector
  Extent memos;  // memo list
  // Memo values still unchanged since they were read or written, by heap
  // offset, with their own column.
  std::unordered_map<uint32_t, Extent> memoColumns;
};

class Sequence {
 public:
  static constexpr int kMaxBlock = 1024;

  // fixedProps: a view of a storage, whose properties only GetAs changes.
  // Otherwise properties are added as values are set (free rows and views).
  explicit Sequence(bool fixedProps);

  int Size() const { return _size; }
  int NumProps() const { return static_cast<int>(_props.size()); }
  const c4_Property& Prop(int col) const { return _props[col]; }
  int PropIndex(int id) const;
  // Adds a property (all rows get an empty value); returns its column.
  int AddProp(const c4_Property& prop);

  const char* GetStr(int row, int col) const;
  int32_t GetInt(int row, int col) const;
  uint32_t GetCell(int row, int col) const;
  void SetStr(int row, int col, const char* s, size_t n);
  void SetInt(int row, int col, int32_t v);

  void Insert(int pos, int count);
  void Remove(int pos, int count);
  // Copies the values of src's row into row `row` (properties matched by id;
  // ones src lacks become empty). Adds properties if this is not fixed.
  void CopyRow(int row, const Sequence& src, int srcRow);

  // Appends rows whose cells are given column by column (used by loading).
  void AppendColumns(int rows, const std::vector<std::vector<uint32_t>>& cells);

  StringHeap& Heap() { return _heap; }
  const StringHeap& Heap() const { return _heap; }
  bool FixedProps() const { return _fixed; }

  // Storage bookkeeping.
  bool writable = true;
  std::vector<bool> dirty;        // per property: column differs from disk
  std::vector<DiskColumn> disk;   // per property
  bool structureDirty = true;     // the structure column must be rewritten

 private:
  struct Block {
    int count = 0;
    std::vector<uint32_t> cells;  // count * NumProps(), row-major
  };
  // Block holding row and the row's index within it.
  int Locate(int row, int* inBlock) const;
  void RebuildStarts(size_t from);
  void MarkAllDirty();

  bool _fixed;
  mutable size_t _hint = 0;  // the block Locate found last: lookups cluster
  int _size = 0;
  std::vector<c4_Property> _props;
  std::vector<Block> _blocks;
  std::vector<int> _starts;  // first row of each block
  StringHeap _heap;
};

}  // namespace mk
