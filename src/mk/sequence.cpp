#include "mk/sequence.h"

#include <algorithm>
#include <cstring>

namespace mk {

StringHeap::StringHeap() {
  // Offset 0 is the shared empty string.
  NewBuffer(1);
  *_cur = 0;
  ++_cur;
  --_room;
  ++_next;
}

void StringHeap::NewBuffer(size_t atLeast) {
  // Buffers grow from 256 bytes to 1 MiB so that a free-standing row stays
  // cheap; each buffer starts a fresh 64 KiB slot of offset space.
  size_t alloc = std::max(atLeast, _nextSize);
  if (_nextSize < (1u << 20)) _nextSize *= 16;
  std::unique_ptr<char[]> buffer(new char[alloc]);
  char* base = buffer.get();
  _buffers.push_back(std::move(buffer));
  _next = static_cast<uint32_t>(_pages.size() << kPageBits);
  size_t pages = (alloc + kPageSize - 1) / kPageSize;
  for (size_t i = 0; i < pages; ++i) _pages.push_back(base + i * kPageSize);
  _cur = base;
  _room = alloc;
  _held += alloc;
}

uint32_t StringHeap::Reserve(size_t n, char** where) {
  if (_room < n + 1) NewBuffer(n + 1);
  uint32_t offset = _next;
  *where = _cur;
  _cur += n + 1;
  _room -= n + 1;
  _next += static_cast<uint32_t>(n + 1);
  (*where)[n] = 0;
  return offset;
}

uint32_t StringHeap::Add(const char* s, size_t n) {
  if (n == 0) return 0;
  char* where;
  uint32_t offset = Reserve(n, &where);
  std::memcpy(where, s, n);
  return offset;
}

Sequence::Sequence(bool fixedProps) : _fixed(fixedProps) {}

int Sequence::PropIndex(int id) const {
  for (size_t i = 0; i < _props.size(); ++i)
    if (_props[i].GetId() == id) return static_cast<int>(i);
  return -1;
}

int Sequence::AddProp(const c4_Property& prop) {
  int old = NumProps();
  _props.push_back(prop);
  dirty.push_back(true);
  disk.emplace_back();
  structureDirty = true;
  for (Block& b : _blocks) {
    std::vector<uint32_t> cells(static_cast<size_t>(b.count) * (old + 1), 0);
    for (int r = 0; r < b.count; ++r)
      std::copy_n(b.cells.begin() + static_cast<size_t>(r) * old, old,
                  cells.begin() + static_cast<size_t>(r) * (old + 1));
    b.cells.swap(cells);
  }
  return old;
}

int Sequence::Locate(int row, int* inBlock) const {
  if (_hint < _blocks.size() && row >= _starts[_hint] && row < _starts[_hint] + _blocks[_hint].count) {
    *inBlock = row - _starts[_hint];
    return static_cast<int>(_hint);
  }
  auto it = std::upper_bound(_starts.begin(), _starts.end(), row);
  int block = static_cast<int>(it - _starts.begin()) - 1;
  *inBlock = row - _starts[block];
  _hint = static_cast<size_t>(block);
  return block;
}

void Sequence::RebuildStarts(size_t from) {
  _starts.resize(_blocks.size());
  int start = from == 0 ? 0 : _starts[from - 1] + _blocks[from - 1].count;
  for (size_t i = from; i < _blocks.size(); ++i) {
    _starts[i] = start;
    start += _blocks[i].count;
  }
}

uint32_t Sequence::GetCell(int row, int col) const {
  if (row < 0 || row >= _size || col < 0 || col >= NumProps()) return 0;
  int at;
  int block = Locate(row, &at);
  return _blocks[block].cells[static_cast<size_t>(at) * NumProps() + col];
}

const char* Sequence::GetStr(int row, int col) const {
  if (col < 0 || col >= NumProps() || _props[col].Type() != 'S') return "";
  return _heap.Get(GetCell(row, col));
}

int32_t Sequence::GetInt(int row, int col) const {
  if (col < 0 || col >= NumProps() || _props[col].Type() != 'I') return 0;
  return static_cast<int32_t>(GetCell(row, col));
}

void Sequence::SetStr(int row, int col, const char* s, size_t n) {
  if (!writable || row < 0 || row >= _size || col < 0 || col >= NumProps()) return;
  if (_props[col].Type() != 'S') return;
  int at;
  int block = Locate(row, &at);
  uint32_t& cell = _blocks[block].cells[static_cast<size_t>(at) * NumProps() + col];
  const char* old = _heap.Get(cell);
  if (std::strlen(old) == n && std::memcmp(old, s, n) == 0) return;
  cell = _heap.Add(s, n);
  dirty[col] = true;
  structureDirty = true;
}

void Sequence::SetInt(int row, int col, int32_t v) {
  if (!writable || row < 0 || row >= _size || col < 0 || col >= NumProps()) return;
  if (_props[col].Type() != 'I') return;
  int at;
  int block = Locate(row, &at);
  uint32_t& cell = _blocks[block].cells[static_cast<size_t>(at) * NumProps() + col];
  if (cell == static_cast<uint32_t>(v)) return;
  cell = static_cast<uint32_t>(v);
  dirty[col] = true;
  structureDirty = true;
}

void Sequence::MarkAllDirty() {
  std::fill(dirty.begin(), dirty.end(), true);
  structureDirty = true;
}

void Sequence::Insert(int pos, int count) {
  if (!writable || count <= 0) return;
  pos = std::clamp(pos, 0, _size);
  const size_t np = NumProps();
  while (count > 0) {
    int chunk = std::min(count, kMaxBlock);
    size_t block;
    int at;
    if (_blocks.empty()) {
      _blocks.emplace_back();
      block = 0;
      at = 0;
    } else if (pos == _size) {
      block = _blocks.size() - 1;
      at = _blocks[block].count;
    } else {
      block = Locate(pos, &at);
    }
    Block& b = _blocks[block];
    b.cells.insert(b.cells.begin() + at * np, chunk * np, 0u);
    b.count += chunk;
    // Split oversized blocks into halves.
    while (_blocks[block].count > kMaxBlock) {
      Block& full = _blocks[block];
      int keep = full.count / 2;
      Block tail;
      tail.count = full.count - keep;
      tail.cells.assign(full.cells.begin() + keep * np, full.cells.end());
      full.cells.resize(keep * np);
      full.count = keep;
      _blocks.insert(_blocks.begin() + block + 1, std::move(tail));
      if (_blocks[block].count <= kMaxBlock) ++block;
    }
    _size += chunk;
    RebuildStarts(std::min(block, _starts.size()));
    pos += chunk;
    count -= chunk;
  }
  MarkAllDirty();
}

void Sequence::Remove(int pos, int count) {
  if (!writable || pos < 0 || pos >= _size || count <= 0) return;
  count = std::min(count, _size - pos);
  const size_t np = NumProps();
  int at;
  size_t block = Locate(pos, &at);
  size_t first = block;
  while (count > 0) {
    Block& b = _blocks[block];
    int take = std::min(count, b.count - at);
    b.cells.erase(b.cells.begin() + at * np, b.cells.begin() + (at + take) * np);
    b.count -= take;
    _size -= take;
    count -= take;
    if (b.count == 0) {
      _blocks.erase(_blocks.begin() + block);
    } else {
      ++block;
    }
    at = 0;
  }
  // Merge a small block with its neighbour so blocks stay reasonably full.
  if (first < _blocks.size() && first + 1 < _blocks.size() &&
      _blocks[first].count + _blocks[first + 1].count <= kMaxBlock / 2) {
    Block& a = _blocks[first];
    Block& b = _blocks[first + 1];
    a.cells.insert(a.cells.end(), b.cells.begin(), b.cells.end());
    a.count += b.count;
    _blocks.erase(_blocks.begin() + first + 1);
  }
  RebuildStarts(std::min(first, _blocks.size()));
  _starts.resize(_blocks.size());
  MarkAllDirty();
}

void Sequence::CopyRow(int row, const Sequence& src, int srcRow) {
  if (!_fixed) {
    for (int c = 0; c < src.NumProps(); ++c)
      if (PropIndex(src.Prop(c).GetId()) < 0) AddProp(src.Prop(c));
  }
  for (int c = 0; c < NumProps(); ++c) {
    int sc = src.PropIndex(_props[c].GetId());
    if (_props[c].Type() == 'S') {
      const char* s = sc >= 0 ? src.GetStr(srcRow, sc) : "";
      if (sc >= 0 && src.Prop(sc).Type() == 'I') s = "";
      SetStr(row, c, s, std::strlen(s));
    } else if (_props[c].Type() == 'I') {
      SetInt(row, c, sc >= 0 ? src.GetInt(srcRow, sc) : 0);
    }
  }
}

void Sequence::AppendColumns(int rows, const std::vector<std::vector<uint32_t>>& cells) {
  const size_t np = NumProps();
  int done = 0;
  while (done < rows) {
    int chunk = std::min(rows - done, kMaxBlock);
    Block b;
    b.count = chunk;
    b.cells.resize(static_cast<size_t>(chunk) * np);
    for (int r = 0; r < chunk; ++r)
      for (size_t c = 0; c < np; ++c)
        b.cells[r * np + c] = cells[c].empty() ? 0 : cells[c][done + r];
    _blocks.push_back(std::move(b));
    done += chunk;
  }
  _size += rows;
  RebuildStarts(0);
}

}  // namespace mk
