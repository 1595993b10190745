// Reading and committing storage files.
//
// Reading goes tail -> root walk -> structure columns -> property columns.
// A commit never touches a byte the current generation uses: it writes the
// new columns and root walk into free space first and only then the tail that
// points at them, and the header last. A crash therefore leaves either the old
// or the new generation reachable. Two recovery rules make that hold at every
// step: a file whose tail does not parse is read at the length its header
// records (an interrupted growing commit), and a header recording length 0
// with no valid tail is an interrupted first commit, read as empty.
#include <algorithm>
#include <cstring>

#include "mk/format.h"
#include "mk/mk4.h"
#include "mk/sequence.h"

namespace mk {

namespace {

constexpr uint32_t kMaxWrite = 4096;

struct Field {
  std::string name;
  char type = 'S';
  std::vector<Field> children;
};

bool ParseFields(const char*& p, const char* end, std::vector<Field>& out, int depth) {
  if (depth > 16) return false;
  for (;;) {
    Field f;
    while (p < end && *p != ':' && *p != '[' && *p != ',' && *p != ']') f.name += *p++;
    if (f.name.empty() || f.name.find('\0') != std::string::npos) return false;
    if (p < end && *p == ':') {
      ++p;
      if (p >= end) return false;
      char t = *p++;
      if (t >= 'a' && t <= 'z') t = static_cast<char>(t - 'a' + 'A');
      if (t < 'A' || t > 'Z') return false;
      f.type = t;
    } else if (p < end && *p == '[') {
      ++p;
      f.type = 'V';
      if (p < end && *p == ']') {
        ++p;
      } else {
        if (!ParseFields(p, end, f.children, depth + 1)) return false;
        if (p >= end || *p != ']') return false;
        ++p;
      }
    }
    out.push_back(std::move(f));
    if (p >= end || *p == ']') return true;
    if (*p != ',') return false;
    ++p;
  }
}

bool ParseDescription(const std::string& text, std::vector<Field>* out) {
  out->clear();
  if (text.empty()) return true;
  const char* p = text.data();
  const char* end = p + text.size();
  return ParseFields(p, end, *out, 0) && p == end;
}

std::string Describe(const Field& f) {
  if (f.type != 'V') return f.name + ":" + f.type;
  std::string s = f.name + "[";
  for (size_t i = 0; i < f.children.size(); ++i) {
    if (i) s += ",";
    s += Describe(f.children[i]);
  }
  return s + "]";
}

bool SameName(const std::string& a, const char* b) { return CompareStrings(a.c_str(), b) == 0; }

// A view we can rewrite: flat string and integer properties, each name once.
bool Rewritable(const Field& view) {
  for (size_t i = 0; i < view.children.size(); ++i) {
    const Field& c = view.children[i];
    if (c.type != 'S' && c.type != 'I') return false;
    for (size_t j = 0; j < i; ++j)
      if (SameName(view.children[j].name, c.name.c_str())) return false;
  }
  return true;
}

void PutBE32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

uint32_t GetBE32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

// One top-level entry of the root: a view, or (never in our files) a plain
// property of the root row whose entry we carry along unchanged.
struct TopLevel {
  Field field;
  std::shared_ptr<Sequence> seq;   // views only
  Extent structure;                // views: current structure column
  std::vector<uint8_t> rawEntry;   // plain properties: root walk entry
};

class StorageImpl {
 public:
  c4_Strategy* strategy = nullptr;
  bool owned = false;
  int mode = 1;
  bool valid = true;
  bool hasHeader = false;
  bool bigEndian = false;
  uint32_t end = 0;       // length of the file as of the current generation
  uint32_t physical = 0;  // the file's length as we last saw it
  // After a recovery or a failed commit the bytes past `end` are unknown:
  // the next commit must put its tail at or past growMin.
  bool forceGrow = false;
  uint32_t growMin = 0;
  // Set when the current generation references bytes we cannot locate (a
  // layout we do not parse); commits then only append.
  bool appendOnly = false;
  Extent rootWalk;
  std::vector<Extent> extraUsed;
  std::vector<TopLevel> top;

  ~StorageImpl() {
    if (owned) delete strategy;
  }

  void Load();
  bool Commit();
  std::string Description() const;
  TopLevel* FindView(const char* name);

 private:
  bool ReadBytes(uint32_t pos, uint32_t size, std::vector<uint8_t>& out);
  bool TryTail(uint32_t fileEnd);
  bool LoadView(TopLevel& t);
  bool LoadStringColumn(Sequence& seq, int col, uint32_t rows, VarReader& r,
                        std::vector<uint32_t>& cells);
  bool LoadIntColumn(Sequence& seq, int col, uint32_t rows, VarReader& r,
                     std::vector<uint32_t>& cells);
  bool ColumnOk(const Extent& e) const {
    return e.size == 0 || (e.pos >= 8 && e.pos <= end && e.size <= end - e.pos);
  }
  void CollectUsed(std::vector<Extent>& used) const;
  void Write(uint32_t pos, const uint8_t* data, size_t size);
  void WriteHeader(uint32_t length);
};

bool StorageImpl::ReadBytes(uint32_t pos, uint32_t size, std::vector<uint8_t>& out) {
  out.resize(size);
  uint32_t done = 0;
  while (done < size) {
    int n = strategy->DataRead(static_cast<t4_i32>(pos + done), out.data() + done,
                               static_cast<int>(std::min<uint32_t>(size - done, 1u << 30)));
    if (n <= 0) return false;
    done += static_cast<uint32_t>(n);
  }
  return true;
}

void StorageImpl::Load() {
  if (!strategy) return;
  t4_i32 size = strategy->FileSize();
  if (size < 0) {
    valid = false;
    return;
  }
  physical = static_cast<uint32_t>(size);
  if (physical == 0) return;  // an empty file is an empty storage

  std::vector<uint8_t> h;
  if (physical < 8 || !ReadBytes(0, 8, h)) {
    valid = false;
    return;
  }
  bool letters = (h[0] == 'J' && h[1] == 'L') || (h[0] == 'L' && h[1] == 'J');
  if (!letters || h[2] != 0x1a || (h[3] & 0xC0) != 0) {
    valid = false;
    return;
  }
  hasHeader = true;
  bigEndian = h[0] == 'L';
  uint32_t recorded = GetBE32(&h[4]);

  if (TryTail(physical)) return;
  top.clear();
  if (recorded == 0) {
    // A first commit that never finished: the storage is still empty.
    end = 0;
    hasHeader = false;
    forceGrow = true;
    growMin = physical;
    appendOnly = true;
    return;
  }
  if (recorded < physical && TryTail(recorded)) {
    forceGrow = true;
    growMin = physical;
    extraUsed.push_back({physical - recorded, recorded});
    return;
  }
  top.clear();
  valid = false;
}

bool StorageImpl::TryTail(uint32_t fileEnd) {
  end = fileEnd;
  if (fileEnd < 24) return false;
  std::vector<uint8_t> t;
  if (!ReadBytes(fileEnd - 16, 16, t)) return false;
  bool skipOk = (t[0] & 0xE0) == 0x80 && t[1] == 0 && t[2] == 0 && t[3] == 0;
  uint32_t skip = GetBE32(&t[4]);
  if (!skipOk || skip != fileEnd - 16) return false;  // the header must be at 0
  if (t[8] != 0x80) return false;
  uint32_t length = uint32_t(t[9]) << 16 | uint32_t(t[10]) << 8 | t[11];
  uint32_t pos = GetBE32(&t[12]);
  if (length == 0 || pos < 8 || pos > fileEnd - 16 || length > fileEnd - 16 - pos) return false;

  std::vector<uint8_t> walk;
  if (!ReadBytes(pos, length, walk)) return false;
  VarReader r(walk.data(), walk.size());
  r.Next();  // reserved
  uint32_t descLength = r.Next();
  const uint8_t* desc = r.Take(descLength);
  if (r.Bad()) return false;
  std::vector<Field> fields;
  if (!ParseDescription(std::string(reinterpret_cast<const char*>(desc), descLength), &fields))
    return false;
  if (r.Next() != 1 || r.Bad()) return false;

  std::vector<TopLevel> loaded;
  for (Field& f : fields) {
    TopLevel t;
    t.field = f;
    if (f.type == 'V') {
      t.structure.size = r.Next();
      if (t.structure.size) t.structure.pos = r.Next();
    } else {
      // A plain property of the root row: keep its entry as it is.
      const uint8_t* start = r.Pos();
      auto extent = [&r] {
        uint32_t size = r.Next();
        if (size) r.Next();
        return size;
      };
      uint32_t first = extent();
      if (f.type == 'S' || f.type == 'B') {
        if (first) extent();  // sizes
        extent();             // memo list
      }
      t.rawEntry.assign(start, r.Pos());
      appendOnly = true;
    }
    if (r.Bad()) return false;
    loaded.push_back(std::move(t));
  }
  rootWalk = {length, pos};
  top = std::move(loaded);
  for (TopLevel& t : top)
    if (t.field.type == 'V' && !LoadView(t)) {
      // Unreadable columns: the view reads as empty and is never rewritten.
      t.seq = std::make_shared<Sequence>(true);
      for (const Field& c : t.field.children) t.seq->AddProp(c4_Property(c.type, c.name.c_str()));
      t.seq->writable = false;
      t.seq->structureDirty = false;
      appendOnly = true;
    }
  return true;
}

bool StorageImpl::LoadView(TopLevel& t) {
  auto seq = std::make_shared<Sequence>(true);
  t.seq = seq;
  bool supported = Rewritable(t.field);
  for (const Field& c : t.field.children) seq->AddProp(c4_Property(c.type, c.name.c_str()));
  std::fill(seq->dirty.begin(), seq->dirty.end(), false);
  seq->structureDirty = false;
  if (!ColumnOk(t.structure)) return false;
  if (t.structure.size == 0) {
    seq->writable = supported;
    if (!supported) appendOnly = true;
    return true;
  }
  std::vector<uint8_t> bytes;
  if (!ReadBytes(t.structure.pos, t.structure.size, bytes)) return false;
  VarReader r(bytes.data(), bytes.size());
  r.Next();  // reserved
  uint32_t rows = r.Next();
  // Rows cost memory even when their values take no file space: bound them.
  if (r.Bad() || rows > (1u << 28) || rows > 16ull * physical + 1024) return false;

  std::vector<std::vector<uint32_t>> cells(t.field.children.size());
  if (rows > 0) {
    for (size_t c = 0; c < t.field.children.size(); ++c) {
      char type = t.field.children[c].type;
      bool ok;
      if (type == 'S' || type == 'B') {
        ok = LoadStringColumn(*seq, static_cast<int>(c), rows, r, cells[c]);
      } else if (type == 'V') {
        // Nested views are stored in a layout we do not read; neither these
        // nor the following properties can be located.
        appendOnly = true;
        supported = false;
        break;
      } else {
        ok = LoadIntColumn(*seq, static_cast<int>(c), rows, r, cells[c]);
      }
      if (!ok) return false;
      if (type == 'B') cells[c].clear();  // binary values are not shown as text
    }
  }
  seq->AppendColumns(static_cast<int>(rows), cells);
  std::fill(seq->dirty.begin(), seq->dirty.end(), false);
  seq->structureDirty = false;
  seq->writable = supported;
  if (!supported) appendOnly = true;
  return true;
}

bool StorageImpl::LoadStringColumn(Sequence& seq, int col, uint32_t rows, VarReader& r,
                                   std::vector<uint32_t>& cells) {
  DiskColumn& d = seq.disk[col];
  d.data.size = r.Next();
  if (d.data.size) {
    d.data.pos = r.Next();
    d.sizes.size = r.Next();
    if (d.sizes.size) d.sizes.pos = r.Next();
  }
  d.memos.size = r.Next();
  if (d.memos.size) d.memos.pos = r.Next();
  if (r.Bad() || !ColumnOk(d.data) || !ColumnOk(d.sizes) || !ColumnOk(d.memos)) return false;

  cells.assign(rows, 0);
  StringHeap& heap = seq.Heap();
  if (d.data.size) {
    std::vector<uint8_t> sizes;
    if (!ReadBytes(d.sizes.pos, d.sizes.size, sizes)) return false;
    int width = VectorWidth(rows, d.sizes.size);
    if (width < 0 || width > 32) return false;
    // The inline column is read straight into the heap: its values already
    // end in NUL bytes, so each row's cell is just an offset into it.
    char* base;
    uint32_t baseOffset = heap.Reserve(d.data.size, &base);
    uint32_t done = 0;
    while (done < d.data.size) {
      int n = strategy->DataRead(static_cast<t4_i32>(d.data.pos + done), base + done,
                                 static_cast<int>(d.data.size - done));
      if (n <= 0) return false;
      done += static_cast<uint32_t>(n);
    }
    uint32_t offset = 0;
    for (uint32_t i = 0; i < rows; ++i) {
      int32_t n = VectorGet(sizes.data(), width, i, bigEndian);
      if (n < 0 || static_cast<uint32_t>(n) > d.data.size - offset) return false;
      if (n == 0) continue;
      base[offset + n - 1] = 0;  // a damaged column still yields terminated strings
      cells[i] = baseOffset + offset;
      offset += static_cast<uint32_t>(n);
    }
  }
  if (d.memos.size) {
    std::vector<uint8_t> list;
    if (!ReadBytes(d.memos.pos, d.memos.size, list)) return false;
    VarReader m(list.data(), list.size());
    uint64_t row = 0;
    bool first = true;
    while (!m.AtEnd()) {
      uint32_t skip = m.Next();
      Extent e;
      e.size = m.Next();
      if (e.size) e.pos = m.Next();
      if (m.Bad() || !ColumnOk(e)) return false;
      row = first ? skip : row + 1 + skip;
      first = false;
      if (row >= rows) return false;
      if (e.size == 0) continue;
      char* value;
      uint32_t offset = heap.Reserve(e.size - 1, &value);
      std::vector<uint8_t> bytes;
      if (!ReadBytes(e.pos, e.size - 1, bytes)) return false;
      std::memcpy(value, bytes.data(), bytes.size());
      cells[row] = offset;
      d.memoColumns.emplace(offset, e);
    }
  }
  return true;
}

bool StorageImpl::LoadIntColumn(Sequence& seq, int col, uint32_t rows, VarReader& r,
                                std::vector<uint32_t>& cells) {
  DiskColumn& d = seq.disk[col];
  d.data.size = r.Next();
  if (d.data.size) d.data.pos = r.Next();
  if (r.Bad() || !ColumnOk(d.data)) return false;
  cells.assign(rows, 0);
  if (!d.data.size) return true;
  std::vector<uint8_t> bytes;
  if (!ReadBytes(d.data.pos, d.data.size, bytes)) return false;
  int width = VectorWidth(rows, d.data.size);
  if (width < 0) return false;
  if (width > 32) return true;  // 64-bit values: not read
  for (uint32_t i = 0; i < rows; ++i)
    cells[i] = static_cast<uint32_t>(VectorGet(bytes.data(), width, i, bigEndian));
  return true;
}


TopLevel* StorageImpl::FindView(const char* name) {
  for (TopLevel& t : top)
    if (t.field.type == 'V' && SameName(t.field.name, name)) return &t;
  return nullptr;
}

std::string StorageImpl::Description() const {
  std::string s;
  for (const TopLevel& t : top) {
    if (!s.empty()) s += ",";
    s += Describe(t.field);
  }
  return s;
}

void StorageImpl::CollectUsed(std::vector<Extent>& used) const {
  used.push_back({8, 0});
  if (end > 0) {
    used.push_back({16, end - 16});
    used.push_back({8, end});
    used.push_back(rootWalk);
  }
  for (const Extent& e : extraUsed) used.push_back(e);
  if (appendOnly || forceGrow) used.push_back({std::max(end, physical) + 8, 0});
  for (const TopLevel& t : top) {
    if (!t.seq) continue;
    // The structure of a view that could not be read may lie anywhere: it
    // claims no room, or a damaged file would make us write gigabytes.
    if (ColumnOk(t.structure)) used.push_back(t.structure);
    for (const DiskColumn& d : t.seq->disk) {
      used.push_back(d.data);
      used.push_back(d.sizes);
      used.push_back(d.memos);
      for (const auto& m : d.memoColumns) used.push_back(m.second);
    }
  }
}

void StorageImpl::Write(uint32_t pos, const uint8_t* data, size_t size) {
  // Pieces of at most 4 KiB, as the file layer of some platforms expects.
  for (size_t done = 0; done < size; done += kMaxWrite) {
    size_t n = std::min<size_t>(kMaxWrite, size - done);
    strategy->DataWrite(static_cast<t4_i32>(pos + done), data + done, static_cast<int>(n));
  }
}

void StorageImpl::WriteHeader(uint32_t length) {
  uint8_t h[8] = {static_cast<uint8_t>(bigEndian ? 'L' : 'J'),
                  static_cast<uint8_t>(bigEndian ? 'J' : 'L'), 0x1a, 0};
  PutBE32(h + 4, length);
  Write(0, h, 8);
}

namespace {

// First-fit allocation in the gaps between the areas in use.
class Allocator {
 public:
  explicit Allocator(std::vector<Extent> used) {
    std::sort(used.begin(), used.end(), [](const Extent& a, const Extent& b) { return a.pos < b.pos; });
    uint64_t at = 0;
    for (const Extent& e : used) {
      if (e.size == 0) continue;
      if (e.pos > at) _gaps.push_back({at, e.pos});
      at = std::max<uint64_t>(at, uint64_t(e.pos) + e.size);
    }
    _tail = at;
  }
  uint32_t Take(uint32_t size) {
    uint64_t pos;
    auto gap = std::find_if(_gaps.begin(), _gaps.end(),
                            [&](const Gap& g) { return g.end - g.start >= size; });
    if (gap != _gaps.end()) {
      pos = gap->start;
      gap->start += size;
      if (gap->start == gap->end) _gaps.erase(gap);
    } else {
      pos = _tail;
      _tail += size;
    }
    _limit = std::max<uint64_t>(_limit, pos + size);
    return static_cast<uint32_t>(pos);
  }
  uint64_t Limit() const { return _limit; }

 private:
  struct Gap {
    uint64_t start, end;
  };
  std::vector<Gap> _gaps;
  uint64_t _tail = 0;
  uint64_t _limit = 0;
};

struct PendingWrite {
  uint32_t pos;
  std::vector<uint8_t> bytes;
};

// A view's columns as the commit in progress lays them out.
struct NewLayout {
  std::vector<DiskColumn> disk;
  Extent structure;
};

bool IsMemo(size_t length, uint32_t rows) {
  uint64_t l = uint64_t(length) + 1;
  return length > 0 && (l > 10000 || (l > 100 && l > 1000000 / (uint64_t(rows) + 1)));
}

}  // namespace

bool StorageImpl::Commit() {
  if (!strategy) return true;  // a storage in memory has nothing to write
  if (!valid || mode == 0) return false;

  // Rewrite the views that changed, and those holding memos (whose lists are
  // rewritten at every commit that writes anything, as the format's own
  // library does).
  bool anything = false;
  std::vector<bool> rewrite(top.size(), false);
  for (size_t i = 0; i < top.size(); ++i) {
    Sequence* seq = top[i].seq.get();
    if (!seq || !seq->writable) continue;
    bool memos = false;
    for (const DiskColumn& d : seq->disk) memos = memos || d.memos.size > 0;
    rewrite[i] = seq->structureDirty || memos;
    anything = anything || seq->structureDirty;
  }
  if (!anything) {
    bool memos = false;
    for (bool r : rewrite) memos = memos || r;
    if (!memos) return true;
  }
  if (end == 0) bigEndian = strategy->_bytesFlipped;

  std::vector<Extent> used;
  CollectUsed(used);
  Allocator alloc(used);
  std::vector<PendingWrite> writes;
  auto place = [&](std::vector<uint8_t> bytes) {
    Extent e;
    e.size = static_cast<uint32_t>(bytes.size());
    if (e.size) {
      e.pos = alloc.Take(e.size);
      writes.push_back({e.pos, std::move(bytes)});
    }
    return e;
  };

  std::vector<NewLayout> layouts(top.size());
  for (size_t i = 0; i < top.size(); ++i) {
    if (!rewrite[i]) continue;
    Sequence& seq = *top[i].seq;
    NewLayout& out = layouts[i];
    out.disk.resize(seq.NumProps());
    uint32_t rows = static_cast<uint32_t>(seq.Size());
    std::vector<uint8_t> structure;
    PutVarint(structure, 0);
    PutVarint(structure, rows);
    for (int c = 0; rows > 0 && c < seq.NumProps(); ++c) {
      DiskColumn& was = seq.disk[c];
      DiskColumn& now = out.disk[c];
      if (seq.Prop(c).Type() == 'I') {
        if (seq.dirty[c]) {
          std::vector<int32_t> values(rows);
          for (uint32_t r = 0; r < rows; ++r) values[r] = seq.GetInt(static_cast<int>(r), c);
          now.data = place(PackVector(values, bigEndian));
        } else {
          now.data = was.data;
        }
        PutVarint(structure, now.data.size);
        if (now.data.size) PutVarint(structure, now.data.pos);
        continue;
      }
      // A string property: memo columns, inline data, sizes, memo list.
      std::vector<uint8_t> memoList;
      uint32_t lastMemo = 0;
      bool firstMemo = true;
      auto addMemo = [&](uint32_t row, const Extent& e) {
        PutVarint(memoList, firstMemo ? row : row - lastMemo - 1);
        PutVarint(memoList, e.size);
        if (e.size) PutVarint(memoList, e.pos);
        lastMemo = row;
        firstMemo = false;
      };
      if (seq.dirty[c]) {
        std::vector<uint8_t> data;
        std::vector<int32_t> sizes(rows, 0);
        for (uint32_t r = 0; r < rows; ++r) {
          uint32_t cell = seq.GetCell(static_cast<int>(r), c);
          const char* s = seq.Heap().Get(cell);
          size_t n = std::strlen(s);
          if (IsMemo(n, rows)) {
            auto kept = was.memoColumns.find(cell);
            Extent e;
            if (kept != was.memoColumns.end()) {
              e = kept->second;
            } else {
              e = place(std::vector<uint8_t>(s, s + n + 1));
            }
            now.memoColumns.emplace(cell, e);
            addMemo(r, e);
          } else if (n > 0) {
            data.insert(data.end(), s, s + n + 1);
            sizes[r] = static_cast<int32_t>(n + 1);
          }
        }
        now.data = place(std::move(data));
        if (now.data.size) now.sizes = place(PackVector(sizes, bigEndian));
      } else {
        now.data = was.data;
        now.sizes = was.sizes;
        if (was.memos.size) {
          for (uint32_t r = 0; r < rows; ++r) {
            auto kept = was.memoColumns.find(seq.GetCell(static_cast<int>(r), c));
            if (kept == was.memoColumns.end()) continue;
            now.memoColumns.emplace(kept->first, kept->second);
            addMemo(r, kept->second);
          }
        }
      }
      now.memos = place(std::move(memoList));
      PutVarint(structure, now.data.size);
      if (now.data.size) {
        PutVarint(structure, now.data.pos);
        PutVarint(structure, now.sizes.size);
        if (now.sizes.size) PutVarint(structure, now.sizes.pos);
      }
      PutVarint(structure, now.memos.size);
      if (now.memos.size) PutVarint(structure, now.memos.pos);
    }
    out.structure = place(std::move(structure));
  }

  std::vector<uint8_t> walk;
  std::string desc = Description();
  PutVarint(walk, 0);
  PutVarint(walk, static_cast<uint32_t>(desc.size()));
  walk.insert(walk.end(), desc.begin(), desc.end());
  PutVarint(walk, 1);
  for (size_t i = 0; i < top.size(); ++i) {
    if (top[i].field.type != 'V') {
      walk.insert(walk.end(), top[i].rawEntry.begin(), top[i].rawEntry.end());
      continue;
    }
    const Extent& e = rewrite[i] ? layouts[i].structure : top[i].structure;
    PutVarint(walk, e.size);
    if (e.size) PutVarint(walk, e.pos);
  }
  Extent newWalk = place(std::move(walk));

  uint64_t limit = alloc.Limit();
  bool growing = end == 0 || forceGrow || limit > end;
  if (forceGrow) limit = std::max<uint64_t>(limit, growMin);
  if (growing && limit + 16 > 0x7FFFFFFF) return false;
  uint32_t newEnd = growing ? static_cast<uint32_t>(limit) + 16 : end;

  strategy->_failure = 0;
  uint8_t skip[8] = {0x80, 0, 0, 0};
  uint8_t mark[8] = {0x80};
  mark[1] = static_cast<uint8_t>(newWalk.size >> 16);
  mark[2] = static_cast<uint8_t>(newWalk.size >> 8);
  mark[3] = static_cast<uint8_t>(newWalk.size);
  PutBE32(mark + 4, newWalk.pos);
  if (growing) {
    PutBE32(skip + 4, static_cast<uint32_t>(limit));
    // A new file gets a header recording length 0 before anything else, so
    // that an interrupted first commit still reads as an empty storage.
    if (end == 0) WriteHeader(0);
    Write(static_cast<uint32_t>(limit), skip, 8);
    strategy->DataCommit(0);
    if (end > 0) {
      uint8_t extend[8] = {static_cast<uint8_t>(bigEndian ? 'L' : 'J'),
                           static_cast<uint8_t>(bigEndian ? 'J' : 'L'), 0x0a, 0};
      PutBE32(extend + 4, newEnd - end);
      Write(end, extend, 8);
    }
    Write(static_cast<uint32_t>(limit), skip, 8);
  }
  for (const PendingWrite& w : writes) Write(w.pos, w.bytes.data(), w.bytes.size());
  strategy->DataCommit(0);
  Write(newEnd - 8, mark, 8);
  strategy->DataCommit(0);
  WriteHeader(newEnd);
  strategy->DataCommit(newEnd);

  if (strategy->_failure) {
    // We cannot know which generation the file now holds: keep both out of
    // reach of later commits, which will only append past everything.
    for (const PendingWrite& w : writes)
      extraUsed.push_back({static_cast<uint32_t>(w.bytes.size()), w.pos});
    forceGrow = true;
    t4_i32 size = strategy->FileSize();
    growMin = std::max<uint32_t>({growMin, newEnd + 8, physical + 8,
                                  static_cast<uint32_t>(std::max<t4_i32>(size, 0)) + 8});
    return false;
  }

  for (size_t i = 0; i < top.size(); ++i) {
    if (!rewrite[i]) continue;
    Sequence& seq = *top[i].seq;
    top[i].structure = layouts[i].structure;
    seq.disk = std::move(layouts[i].disk);
    std::fill(seq.dirty.begin(), seq.dirty.end(), false);
    seq.structureDirty = false;
  }
  rootWalk = newWalk;
  end = newEnd;
  physical = std::max(physical, end);
  hasHeader = true;
  forceGrow = false;
  growMin = 0;
  extraUsed.clear();
  return true;
}

}  // namespace mk

using mk::StorageImpl;
using mk::TopLevel;

c4_Storage::c4_Storage() : _impl(new StorageImpl) {}

c4_Storage::c4_Storage(c4_Strategy& strategy, bool owned, int mode) : _impl(new StorageImpl) {
  _impl->strategy = &strategy;
  _impl->owned = owned;
  _impl->mode = mode;
  _impl->Load();
}

c4_Storage::~c4_Storage() = default;

c4_View c4_Storage::GetAs(const char* description) {
  std::vector<mk::Field> fields;
  if (!description || !mk::ParseDescription(description, &fields) || fields.size() != 1 ||
      fields[0].type != 'V')
    return c4_View();
  const mk::Field& want = fields[0];
  TopLevel* t = _impl->FindView(want.name.c_str());
  if (!t) {
    TopLevel fresh;
    fresh.field = want;
    fresh.seq = std::make_shared<mk::Sequence>(true);
    for (const mk::Field& c : want.children) fresh.seq->AddProp(c4_Property(c.type, c.name.c_str()));
    fresh.seq->writable = mk::Rewritable(want);
    if (!_impl->valid || _impl->mode == 0) fresh.seq->writable = false;
    _impl->top.push_back(std::move(fresh));
    return c4_View(_impl->top.back().seq);
  }
  mk::Sequence& seq = *t->seq;
  if (seq.writable) {
    for (const mk::Field& c : want.children) {
      if (c.type != 'S' && c.type != 'I') continue;
      c4_Property p(c.type, c.name.c_str());
      if (seq.PropIndex(p.GetId()) >= 0) continue;
      seq.AddProp(p);
      t->field.children.push_back(c);
    }
  }
  return c4_View(t->seq);
}

c4_View c4_Storage::View(const char* name) {
  TopLevel* t = name ? _impl->FindView(name) : nullptr;
  return t ? c4_View(t->seq) : c4_View();
}

bool c4_Storage::Commit(bool) { return _impl->Commit(); }

std::string c4_Storage::Description() const { return _impl->Description(); }

int c4_Storage::NumViews() const { return static_cast<int>(_impl->top.size()); }

std::string c4_Storage::NthViewName(int index) const {
  if (index < 0 || index >= NumViews()) return std::string();
  return _impl->top[index].field.name;
}

bool c4_Storage::IsValid() const { return _impl->valid; }
bool c4_Storage::IsBigEndian() const { return _impl->bigEndian; }
bool c4_Storage::HasHeader() const { return _impl->hasHeader; }
