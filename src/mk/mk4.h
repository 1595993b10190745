// Quillet's storage library: the subset of the Metakit API that the dictionary
// layer uses, reading and writing Metakit's on-disk format.
//
// Ownership: a c4_Storage reads its file through a caller-owned c4_Strategy
// (unless constructed with owned = true). c4_View and c4_Row are cheap
// reference-counted handles; a view handle keeps its rows alive even after its
// storage is gone, but only the storage can commit them.
//
// Threading: none. Property names are registered in a process-wide table that
// is safe to use from several threads; everything else belongs to one thread.
//
// Failure: nothing throws. A file that holds no readable storage yields a
// storage whose IsValid() is false; such a storage has empty views and never
// writes to its file. Operations on out-of-range rows are ignored (reads give
// empty strings and 0).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

typedef int32_t t4_i32;
typedef uint8_t t4_byte;

namespace mk {
class Sequence;
class StorageImpl;
}  // namespace mk

class c4_Row;
class c4_RowRef;
class c4_View;

// Byte-level access to the file behind a storage. The default implementation
// is an empty, invalid file.
class c4_Strategy {
 public:
  c4_Strategy();
  virtual ~c4_Strategy();
  c4_Strategy(const c4_Strategy&) = delete;
  c4_Strategy& operator=(const c4_Strategy&) = delete;

  virtual bool IsValid() const;
  // Reads up to len bytes at pos; returns the number of bytes read.
  virtual int DataRead(t4_i32 pos, void* buffer, int length);
  // Writes len bytes at pos; sets _failure when the write fails.
  virtual void DataWrite(t4_i32 pos, const void* buffer, int length);
  // newSize 0: flush; newSize > 0: the file is now newSize bytes long.
  virtual void DataCommit(t4_i32 newSize);
  virtual void ResetFileMapping();
  virtual t4_i32 FileSize();
  virtual t4_i32 FreshGeneration();

  // Non-zero after a write failed; a commit that sees it reports failure.
  int _failure = 0;
  // Set before the first commit of a new file to write big-endian ("LJ")
  // vectors. Reading takes the byte order from the file's header.
  bool _bytesFlipped = false;
};

// A plain file. DataOpen mode 0 opens read-only; mode 1 opens read-write and
// creates a missing file.
class c4_FileStrategy : public c4_Strategy {
 public:
  explicit c4_FileStrategy(FILE* file = nullptr);
  ~c4_FileStrategy() override;

  bool IsValid() const override;
  virtual bool DataOpen(const char* fileName, int mode);
  int DataRead(t4_i32 pos, void* buffer, int length) override;
  void DataWrite(t4_i32 pos, const void* buffer, int length) override;
  void DataCommit(t4_i32 newSize) override;
  void ResetFileMapping() override;
  t4_i32 FileSize() override;
  t4_i32 FreshGeneration() override;

 protected:
  FILE* _file;
  FILE* _cleanup;  // the file we opened ourselves and must close
};

// A named, typed column. Names compare ignoring ASCII case.
class c4_Property {
 public:
  c4_Property(char type, const char* name);
  const char* Name() const;
  char Type() const { return _type; }
  int GetId() const { return _id; }

 private:
  char _type;
  int _id;
};

class c4_StringRef;
class c4_IntRef;

class c4_StringProp : public c4_Property {
 public:
  explicit c4_StringProp(const char* name) : c4_Property('S', name) {}
  c4_StringRef operator()(const c4_RowRef& row) const;
  c4_Row operator[](const char* value) const;  // a one-property row
  c4_Row operator[](const std::string& value) const;
};

class c4_IntProp : public c4_Property {
 public:
  explicit c4_IntProp(const char* name) : c4_Property('I', name) {}
  c4_IntRef operator()(const c4_RowRef& row) const;
  c4_Row operator[](t4_i32 value) const;
};

// One row of a view (or of a c4_Row). Valid while its view lives.
class c4_RowRef {
 public:
  c4_RowRef(std::shared_ptr<mk::Sequence> seq, int index);

  mk::Sequence* Seq() const { return _seq.get(); }
  int Index() const { return _index; }
  const std::shared_ptr<mk::Sequence>& SeqPtr() const { return _seq; }

 protected:
  std::shared_ptr<mk::Sequence> _seq;
  int _index;
};

// A free-standing row that owns its values; properties appear as they are set.
class c4_Row : public c4_RowRef {
 public:
  c4_Row();
  c4_Row(const c4_RowRef& other);  // deep copy
  c4_Row(const c4_Row& other);
  c4_Row& operator=(const c4_RowRef& other);
  c4_Row& operator=(const c4_Row& other);

  // Row concatenation: the properties of a followed by those of b.
  friend c4_Row operator+(const c4_RowRef& a, const c4_RowRef& b);
};

class c4_StringRef {
 public:
  c4_StringRef(const c4_RowRef& row, const c4_Property& prop) : _row(row), _prop(prop) {}
  // The value as a NUL-terminated string; stays valid until the row's view
  // is changed or destroyed. Never null.
  operator const char*() const;
  c4_StringRef& operator=(const char* value);
  c4_StringRef& operator=(const std::string& value);

 private:
  c4_RowRef _row;
  c4_Property _prop;
};

class c4_IntRef {
 public:
  c4_IntRef(const c4_RowRef& row, const c4_Property& prop) : _row(row), _prop(prop) {}
  operator t4_i32() const;
  c4_IntRef& operator=(t4_i32 value);

 private:
  c4_RowRef _row;
  c4_Property _prop;
};

// An ordered sequence of rows with a fixed list of properties.
class c4_View {
 public:
  c4_View();  // an empty free-standing view
  explicit c4_View(std::shared_ptr<mk::Sequence> seq);

  int GetSize() const;
  void SetSize(int newSize);
  c4_RowRef GetAt(int index) const;
  c4_RowRef operator[](int index) const { return GetAt(index); }

  // Copies the values of row's properties that this view has; others become
  // empty (or 0).
  void SetAt(int index, const c4_RowRef& row);
  int Add(const c4_RowRef& row);
  void InsertAt(int index, const c4_RowRef& row, int count = 1);
  void RemoveAt(int index, int count = 1);

  // Binary search for the first row not below row, comparing property by
  // property in this view's order (a property row lacks counts as empty).
  // Strings compare with ASCII letters folded to lower case, then as
  // unsigned bytes. Returns 0..GetSize().
  int Search(const c4_RowRef& row) const;
  // First row at or after start whose properties present in row compare
  // equal to row's, or -1.
  int Find(const c4_RowRef& row, int start = 0) const;

  int NumProperties() const;
  const c4_Property& NthProperty(int index) const;
  // Index of the property with this id in the view, or -1.
  int FindProperty(int propId) const;

  // False for views we can read but must not change (a file with property
  // types or nested views this library does not write).
  bool IsWritable() const;

  mk::Sequence* Seq() const { return _seq.get(); }

 private:
  std::shared_ptr<mk::Sequence> _seq;
};

class c4_Storage {
 public:
  c4_Storage();  // in memory only; Commit does nothing
  // mode 0: read-only, 1: read-write. With owned the storage deletes the
  // strategy when it is destroyed.
  c4_Storage(c4_Strategy& strategy, bool owned = false, int mode = 1);
  ~c4_Storage();
  c4_Storage(const c4_Storage&) = delete;
  c4_Storage& operator=(const c4_Storage&) = delete;

  // The top-level view described as "NAME[prop:T,...]". A missing view is
  // created; a view whose properties differ gains the missing ones (values
  // of properties it has are kept, properties not asked for stay as well).
  c4_View GetAs(const char* description);
  // The view of that name as stored; an empty view if there is none.
  c4_View View(const char* name);
  // Writes every change since the last commit as a new generation. Returns
  // false when nothing could be written (read-only, unreadable file, write
  // failure); the file then still holds the previous generation.
  bool Commit(bool full = false);

  // Structure of all top-level views, e.g. "DBINFO[prop:S,value:S],...".
  std::string Description() const;
  int NumViews() const;
  std::string NthViewName(int index) const;

  // False when the file held bytes that are not a storage we can read.
  bool IsValid() const;
  // Whether the file (or the new file once committed) is big-endian ("LJ"),
  // and whether it had a header at all (an empty file has none).
  bool IsBigEndian() const;
  bool HasHeader() const;

 private:
  std::unique_ptr<mk::StorageImpl> _impl;
};
