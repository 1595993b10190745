// Properties, rows and views: the handles the dictionary layer works with.
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

#include "mk/format.h"
#include "mk/mk4.h"
#include "mk/sequence.h"

using mk::Sequence;

namespace {

// Property names are shared process-wide: the same name (ignoring ASCII case)
// always has the same id, so rows and views can match properties by id.
struct PropertyTable {
  std::mutex lock;
  std::deque<std::string> names;
  std::unordered_map<std::string, int> ids;
};

PropertyTable& Table() {
  static PropertyTable table;
  return table;
}

std::string Folded(const char* name) {
  std::string key(name ? name : "");
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  return key;
}

std::shared_ptr<Sequence> NewRowSequence() {
  auto seq = std::make_shared<Sequence>(false);
  seq->Insert(0, 1);
  return seq;
}

}  // namespace

c4_Property::c4_Property(char type, const char* name) : _type(type) {
  PropertyTable& t = Table();
  std::lock_guard<std::mutex> hold(t.lock);
  std::string key = Folded(name);
  auto it = t.ids.find(key);
  if (it != t.ids.end()) {
    _id = it->second;
  } else {
    _id = static_cast<int>(t.names.size());
    t.names.emplace_back(name ? name : "");
    t.ids.emplace(key, _id);
  }
}

const char* c4_Property::Name() const {
  PropertyTable& t = Table();
  std::lock_guard<std::mutex> hold(t.lock);
  return t.names[_id].c_str();
}

c4_StringRef c4_StringProp::operator()(const c4_RowRef& row) const { return c4_StringRef(row, *this); }

c4_Row c4_StringProp::operator[](const char* value) const {
  c4_Row row;
  (*this)(row) = value;
  return row;
}

c4_Row c4_StringProp::operator[](const std::string& value) const {
  c4_Row row;
  (*this)(row) = value;
  return row;
}

c4_IntRef c4_IntProp::operator()(const c4_RowRef& row) const { return c4_IntRef(row, *this); }

c4_Row c4_IntProp::operator[](t4_i32 value) const {
  c4_Row row;
  (*this)(row) = value;
  return row;
}

c4_RowRef::c4_RowRef(std::shared_ptr<Sequence> seq, int index) : _seq(std::move(seq)), _index(index) {}

c4_Row::c4_Row() : c4_RowRef(NewRowSequence(), 0) {}

c4_Row::c4_Row(const c4_RowRef& other) : c4_Row() { _seq->CopyRow(0, *other.Seq(), other.Index()); }

c4_Row::c4_Row(const c4_Row& other) : c4_Row() { _seq->CopyRow(0, *other.Seq(), other.Index()); }

c4_Row& c4_Row::operator=(const c4_RowRef& other) {
  if (other.Seq() != _seq.get()) {
    auto fresh = NewRowSequence();
    fresh->CopyRow(0, *other.Seq(), other.Index());
    _seq = fresh;
  }
  return *this;
}

c4_Row& c4_Row::operator=(const c4_Row& other) { return *this = static_cast<const c4_RowRef&>(other); }

c4_Row operator+(const c4_RowRef& a, const c4_RowRef& b) {
  c4_Row row(a);
  Sequence* seq = row.Seq();
  const Sequence& src = *b.Seq();
  for (int c = 0; c < src.NumProps(); ++c) {
    const c4_Property& p = src.Prop(c);
    if (seq->PropIndex(p.GetId()) >= 0) continue;  // the first row's value wins
    int col = seq->AddProp(p);
    if (p.Type() == 'S') {
      const char* s = src.GetStr(b.Index(), c);
      seq->SetStr(0, col, s, std::strlen(s));
    } else if (p.Type() == 'I') {
      seq->SetInt(0, col, src.GetInt(b.Index(), c));
    }
  }
  return row;
}

c4_StringRef::operator const char*() const {
  Sequence* seq = _row.Seq();
  return seq->GetStr(_row.Index(), seq->PropIndex(_prop.GetId()));
}

c4_StringRef& c4_StringRef::operator=(const char* value) {
  Sequence* seq = _row.Seq();
  int col = seq->PropIndex(_prop.GetId());
  if (col < 0) {
    if (seq->FixedProps()) return *this;
    col = seq->AddProp(_prop);
  }
  if (!value) value = "";
  seq->SetStr(_row.Index(), col, value, std::strlen(value));
  return *this;
}

c4_StringRef& c4_StringRef::operator=(const std::string& value) {
  // Values end at their first NUL, as stored strings do.
  return *this = value.c_str();
}

c4_IntRef::operator t4_i32() const {
  Sequence* seq = _row.Seq();
  return seq->GetInt(_row.Index(), seq->PropIndex(_prop.GetId()));
}

c4_IntRef& c4_IntRef::operator=(t4_i32 value) {
  Sequence* seq = _row.Seq();
  int col = seq->PropIndex(_prop.GetId());
  if (col < 0) {
    if (seq->FixedProps()) return *this;
    col = seq->AddProp(_prop);
  }
  seq->SetInt(_row.Index(), col, value);
  return *this;
}

c4_View::c4_View() : _seq(std::make_shared<Sequence>(false)) {}

c4_View::c4_View(std::shared_ptr<Sequence> seq) : _seq(std::move(seq)) {}

int c4_View::GetSize() const { return _seq->Size(); }

void c4_View::SetSize(int newSize) {
  if (newSize < 0) newSize = 0;
  int size = _seq->Size();
  if (newSize > size) _seq->Insert(size, newSize - size);
  else if (newSize < size) _seq->Remove(newSize, size - newSize);
}

c4_RowRef c4_View::GetAt(int index) const { return c4_RowRef(_seq, index); }

void c4_View::SetAt(int index, const c4_RowRef& row) {
  if (index < 0 || index >= _seq->Size()) return;
  if (row.Seq() == _seq.get()) {
    // A row of this very view: copy it out first.
    c4_Row copy(row);
    _seq->CopyRow(index, *copy.Seq(), 0);
  } else {
    _seq->CopyRow(index, *row.Seq(), row.Index());
  }
}

int c4_View::Add(const c4_RowRef& row) {
  int index = _seq->Size();
  InsertAt(index, row, 1);
  return index;
}

void c4_View::InsertAt(int index, const c4_RowRef& row, int count) {
  if (count <= 0 || !_seq->writable) return;
  if (index < 0) index = 0;
  if (index > _seq->Size()) index = _seq->Size();
  // The row may belong to this view, and inserting moves rows: copy it out.
  std::shared_ptr<Sequence> source = row.SeqPtr();
  int sourceRow = row.Index();
  if (source == _seq) {
    source = c4_Row(row).SeqPtr();
    sourceRow = 0;
  }
  _seq->Insert(index, count);
  for (int i = 0; i < count; ++i) _seq->CopyRow(index + i, *source, sourceRow);
}

void c4_View::RemoveAt(int index, int count) { _seq->Remove(index, count); }

namespace {

// The criterion's values lined up with a view's properties. Views have few
// properties; the common case needs no allocation.
struct Criterion {
  static constexpr int kInline = 8;
  int count = 0;
  const char* stringsInline[kInline];
  int32_t intsInline[kInline];
  bool presentInline[kInline];
  std::vector<const char*> stringsMore;
  std::vector<int32_t> intsMore;
  std::vector<char> presentMore;
  const char** strings = stringsInline;
  int32_t* ints = intsInline;
  bool* present = presentInline;

  explicit Criterion(int n) : count(n) {
    if (n > kInline) {
      stringsMore.assign(n, "");
      intsMore.assign(n, 0);
      presentMore.assign(n, 0);
      strings = stringsMore.data();
      ints = intsMore.data();
      present = reinterpret_cast<bool*>(presentMore.data());
    }
    for (int i = 0; i < n; ++i) {
      strings[i] = "";
      ints[i] = 0;
      present[i] = false;
    }
  }
  Criterion(const Criterion&) = delete;
  Criterion& operator=(const Criterion&) = delete;
};

void FillCriterion(Criterion& c, const Sequence& view, const c4_RowRef& row) {
  const Sequence& src = *row.Seq();
  for (int i = 0; i < c.count; ++i) {
    int sc = src.PropIndex(view.Prop(i).GetId());
    if (sc < 0) continue;
    c.present[i] = true;
    c.strings[i] = src.GetStr(row.Index(), sc);
    c.ints[i] = src.GetInt(row.Index(), sc);
  }
}

int CompareRow(const Sequence& view, int row, const Criterion& c, bool onlyPresent) {
  for (int i = 0; i < c.count; ++i) {
    if (onlyPresent && !c.present[i]) continue;
    int r = 0;
    char type = view.Prop(i).Type();
    if (type == 'S') {
      r = mk::CompareStrings(view.GetStr(row, i), c.strings[i]);
    } else if (type == 'I') {
      int32_t v = view.GetInt(row, i);
      r = v < c.ints[i] ? -1 : v > c.ints[i] ? 1 : 0;
    }
    if (r != 0) return r;
  }
  return 0;
}

}  // namespace

int c4_View::Search(const c4_RowRef& row) const {
  const Sequence& view = *_seq;
  Criterion c(view.NumProps());
  FillCriterion(c, view, row);
  int lo = -1, hi = view.Size();
  while (lo + 1 != hi) {
    int mid = (lo + hi) >> 1;
    if (CompareRow(view, mid, c, false) < 0) lo = mid;
    else hi = mid;
  }
  return hi;
}

int c4_View::Find(const c4_RowRef& row, int start) const {
  const Sequence& view = *_seq;
  Criterion c(view.NumProps());
  FillCriterion(c, view, row);
  // A property the view lacks reads as empty there.
  const Sequence& src = *row.Seq();
  for (int i = 0; i < src.NumProps(); ++i) {
    if (view.PropIndex(src.Prop(i).GetId()) >= 0) continue;
    if (src.Prop(i).Type() == 'S' && *src.GetStr(row.Index(), i) != 0) return -1;
    if (src.Prop(i).Type() == 'I' && src.GetInt(row.Index(), i) != 0) return -1;
  }
  if (start < 0) start = 0;
  for (int r = start; r < view.Size(); ++r)
    if (CompareRow(view, r, c, true) == 0) return r;
  return -1;
}

int c4_View::NumProperties() const { return _seq->NumProps(); }

const c4_Property& c4_View::NthProperty(int index) const {
  // Out of range: a property no view has, rather than undefined behaviour.
  static const c4_Property none('S', "");
  return index >= 0 && index < _seq->NumProps() ? _seq->Prop(index) : none;
}

int c4_View::FindProperty(int propId) const { return _seq->PropIndex(propId); }

bool c4_View::IsWritable() const { return _seq->writable; }
