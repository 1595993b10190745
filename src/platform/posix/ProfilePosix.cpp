// Our own profile-file implementation with the observable behaviour of the
// Windows functions (the Windows build runs the same tests against the real
// ones). A file is parsed into sections and keys, changed in memory and
// written back whole: to a new file beside it that is then renamed over the
// old one, so a failed or interrupted write never leaves half a file.
#include "platform/Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

struct Key {
  std::string name;
  std::string value;
  bool hasValue = false;
};

struct Section {
  std::string name;
  std::vector<Key> keys;
  // Lower-cased key name -> index of its first key; built on first use for
  // long sections only.
  mutable std::unordered_map<std::string, std::size_t> index;
  mutable bool indexed = false;
};

struct Document {
  Encoding encoding = Encoding::Ansi;
  std::vector<Section> sections;
  mutable std::unordered_map<std::string, std::size_t> index;
  mutable bool indexed = false;

  void Invalidate() {
    indexed = false;
    index.clear();
    for (auto& s : sections) {
      s.indexed = false;
      s.index.clear();
    }
  }
};

// Blanks as the profile functions see them: ASCII white space and ^Z.
bool IsBlank(char c) {
  return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string LowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string_view Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string_view SkipLeadingBlanks(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

// Names and values are C strings to the callers: an embedded NUL ends them.
std::string UpToNul(std::string_view s) {
  std::size_t n = s.find('\0');
  return std::string(n == std::string_view::npos ? s : s.substr(0, n));
}

// ---- text decoding --------------------------------------------------------

// Code points come back to 8-bit text the way the ANSI code page maps them:
// ASCII and Latin-1 letters as themselves, anything else as '?'.
void AppendCodePoint(std::string& out, std::uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xa0 && cp <= 0xff))
    out.push_back(char(cp));
  else
    out.push_back('?');
}

std::string DecodeUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      out.push_back(char(c));
      ++i;
      continue;
    }
    int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc2 ? 1 : -1;
    if (extra < 0 || c > 0xf4) {
      out.push_back('?');
      ++i;
      continue;
    }
    std::uint32_t cp = c & (0x3f >> extra);
    std::size_t j = 1;
    for (; j <= std::size_t(extra) && i + j < in.size(); ++j) {
      unsigned char d = static_cast<unsigned char>(in[i + j]);
      if ((d & 0xc0) != 0x80) break;
      cp = (cp << 6) | (d & 0x3f);
    }
    if (j != std::size_t(extra) + 1) {
      out.push_back('?');
      i += j;
      continue;
    }
    AppendCodePoint(out, cp);
    i += j;
  }
  return out;
}

std::string DecodeUtf16(std::string_view in, bool bigEndian) {
  std::string out;
  out.reserve(in.size() / 2);
  for (std::size_t i = 0; i + 1 < in.size(); i += 2) {
    unsigned char a = static_cast<unsigned char>(in[i]);
    unsigned char b = static_cast<unsigned char>(in[i + 1]);
    std::uint32_t unit = bigEndian ? (a << 8 | b) : (b << 8 | a);
    AppendCodePoint(out, unit);
  }
  return out;
}

std::string EncodeText(std::string_view text, Encoding encoding) {
  std::string out;
  switch (encoding) {
    case Encoding::Ansi:
      return std::string(text);
    case Encoding::Utf8:
      out = "\xEF\xBB\xBF";
      for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
          out.push_back(ch);
        } else {
          out.push_back(char(0xc0 | (c >> 6)));
          out.push_back(char(0x80 | (c & 0x3f)));
        }
      }
      return out;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
      bool be = encoding == Encoding::Utf16Be;
      out = be ? "\xFE\xFF" : "\xFF\xFE";
      for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        out.push_back(be ? '\0' : char(c));
        out.push_back(be ? char(c) : '\0');
      }
      return out;
    }
  }
  return out;
}

// ---- parsing and writing --------------------------------------------------

Document Parse(std::string_view bytes) {
  Document doc;
  std::string text;
  if (bytes.empty()) return doc;
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    doc.encoding = Encoding::Utf8;
    text = DecodeUtf8(bytes.substr(3));
  } else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
    doc.encoding = Encoding::Utf16Le;
    text = DecodeUtf16(bytes.substr(2), false);
  } else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") {
    doc.encoding = Encoding::Utf16Be;
    text = DecodeUtf16(bytes.substr(2), true);
  } else {
    text.assign(bytes);
  }

  // Lines before the first header belong to a section without a name.
  doc.sections.emplace_back();
  Section* current = &doc.sections.back();
  const Key* previous = nullptr;
  std::string_view rest(text);
  while (!rest.empty()) {
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != '\n' && rest[end] != '\r') ++end;
    std::string_view line = rest.substr(0, end);
    while (end < rest.size() && (rest[end] == '\n' || rest[end] == '\r')) ++end;
    rest.remove_prefix(end);

    line = Trim(line);
    if (line.empty()) continue;

    if (line[0] == '[') {
      std::size_t close = line.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        doc.sections.emplace_back();
        current = &doc.sections.back();
        current->name = UpToNul(Trim(line.substr(1, close - 1)));
        previous = nullptr;
        continue;
      }
      // A '[' without a closing bracket is an ordinary line.
    }

    std::size_t eq = line.find('=');
    Key key;
    std::size_t nameLength = line.size();
    if (eq != std::string_view::npos) {
      std::string_view name = line.substr(0, eq);
      while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
      nameLength = name.size();
      key.name = UpToNul(name);
      key.value = UpToNul(SkipLeadingBlanks(line.substr(eq + 1)));
      key.hasValue = true;
    } else {
      key.name = UpToNul(line);
    }
    // Of several lines in a row that start with '=', only the first is kept.
    if (nameLength == 0 && previous && previous->name.empty()) continue;
    current->keys.push_back(std::move(key));
    previous = &current->keys.back();
  }
  return doc;
}

std::string Serialize(const Document& doc) {
  std::string text;
  for (const Section& s : doc.sections) {
    if (!s.name.empty()) {
      text += '[';
      text += s.name;
      text += "]\r\n";
    }
    for (const Key& k : s.keys) {
      text += k.name;
      if (k.hasValue) {
        text += '=';
        text += k.value;
      }
      text += "\r\n";
    }
  }
  return EncodeText(text, doc.encoding);
}

// ---- lookups --------------------------------------------------------------

// The first section whose name equals `name` (letter case aside).
Section* FindSectionExact(Document& doc, std::string_view name) {
  if (!doc.indexed) {
    for (std::size_t i = 0; i < doc.sections.size(); ++i)
      doc.index.emplace(LowerCopy(doc.sections[i].name), i);
    doc.indexed = true;
  }
  auto it = doc.index.find(LowerCopy(name));
  return it == doc.index.end() ? nullptr : &doc.sections[it->second];
}

Key* FindKeyExact(Section& s, std::string_view name) {
  if (s.keys.size() < 16) {
    for (Key& k : s.keys)
      if (EqualNoCase(k.name, name)) return &k;
    return nullptr;
  }
  if (!s.indexed) {
    for (std::size_t i = 0; i < s.keys.size(); ++i)
      s.index.emplace(LowerCopy(s.keys[i].name), i);
    s.indexed = true;
  }
  auto it = s.index.find(LowerCopy(name));
  return it == s.index.end() ? nullptr : &s.keys[it->second];
}

// ---- files and the cache --------------------------------------------------

enum class OpenResult { Ok, Missing, Failed };

struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  std::int64_t mtimeNs = 0;
  std::int64_t ctimeNs = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const struct stat& st) {
  FileStamp s;
  s.dev = st.st_dev;
  s.ino = st.st_ino;
  s.size = st.st_size;
  s.mtimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.ctimeNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return s;
}

struct CacheEntry {
  FileStamp stamp;
  std::shared_ptr<Document> doc;
};

std::mutex g_mutex;
std::map<std::string, CacheEntry> g_cache;
constexpr std::size_t kCacheLimit = 16;

bool ParentFolderExists(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return true;
  std::string dir = slash == 0 ? "/" : path.substr(0, slash);
  struct stat st;
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadWhole(int fd, std::string& out) {
  out.clear();
  char chunk[65536];
  for (;;) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    out.append(chunk, std::size_t(n));
  }
}

// Loads the file (or takes the cached copy when the file has not changed).
// A missing file in an existing folder is an empty document; anything else
// that cannot be read fails, as opening it would on Windows.
OpenResult Load(const std::string& path, std::shared_ptr<Document>& doc) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT && ParentFolderExists(path)) {
      g_cache.erase(path);
      doc = std::make_shared<Document>();
      return OpenResult::Missing;
    }
    return OpenResult::Failed;
  }
  if (!S_ISREG(st.st_mode)) return OpenResult::Failed;
  auto it = g_cache.find(path);
  if (it != g_cache.end() && it->second.stamp == StampOf(st)) {
    doc = it->second.doc;
    return OpenResult::Ok;
  }
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return OpenResult::Failed;
  std::string bytes;
  bool ok = ReadWhole(fd, bytes) && fstat(fd, &st) == 0;
  close(fd);
  if (!ok) return OpenResult::Failed;
  doc = std::make_shared<Document>(Parse(bytes));
  if (g_cache.size() >= kCacheLimit) g_cache.clear();
  g_cache[path] = CacheEntry{StampOf(st), doc};
  return OpenResult::Ok;
}

// Opening for writing also fails on a file we may not write.
OpenResult LoadForWrite(const std::string& path, std::shared_ptr<Document>& doc) {
  OpenResult r = Load(path, doc);
  if (r == OpenResult::Ok && access(path.c_str(), W_OK) != 0) return OpenResult::Failed;
  if (r != OpenResult::Failed) doc = std::make_shared<Document>(*doc);  // edit a copy
  return r;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += std::size_t(n);
  }
  return true;
}

}  // namespace

namespace {

bool (*g_saveHook)(const char* path) = nullptr;

// Writes the document to a new file beside `path` and renames it over the
// old one. The new copy keeps the old file's permission bits.
bool Save(const std::string& path, std::shared_ptr<Document> doc) {
  std::string bytes = Serialize(*doc);
  std::string temp = path + ".tmp-XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return false;
  struct stat old;
  mode_t mode = 0644;
  if (stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
  else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && g_saveHook && !g_saveHook(path.c_str())) ok = false;
  if (!ok || rename(name.data(), path.c_str()) != 0) {
    unlink(name.data());
    return false;
  }
  // Reading our own write back must give what a fresh parse of it gives.
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    auto reparsed = std::make_shared<Document>(Parse(bytes));
    if (g_cache.size() >= kCacheLimit) g_cache.clear();
    g_cache[path] = CacheEntry{StampOf(st), reparsed};
  } else {
    g_cache.erase(path);
  }
  return true;
}

// Copies at most size - 1 characters and a NUL, as lstrcpyn does; returns the
// number of characters copied.
std::size_t CopyN(char* dst, std::string_view src, std::size_t size) {
  if (size == 0) return 0;
  std::size_t n = std::min(src.size(), size - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
  return n;
}

// Copies a value into the buffer, dropping quotes around it when it has
// them: the closing quote only goes when the whole value fits.
std::uint32_t CopyEntry(char* buffer, std::string_view value, std::uint32_t size) {
  bool quoted = false;
  if (value.size() >= 2 && (value[0] == '\'' || value[0] == '"') && value.back() == value[0]) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::size_t n = CopyN(buffer, value, size);
  if (quoted && size >= value.size() && n > 0) buffer[--n] = '\0';
  return std::uint32_t(n);
}

// Characters of a list of names or lines, truncated as the Windows functions
// do when the buffer is short. Returns the length written (without the
// final NUL).
std::uint32_t ListSection(const Section& s, bool withValues, char* buffer, std::uint32_t size) {
  std::uint32_t left = size;
  char* p = buffer;
  for (const Key& k : s.keys) {
    if (left <= 2) break;
    if (k.name.empty() && !k.hasValue) continue;
    if (!k.name.empty() && k.name[0] == ';') continue;
    if (!withValues && !k.hasValue) continue;
    std::size_t n = CopyN(p, k.name, left - 1);
    left -= std::uint32_t(n + 1);
    p += n + 1;
    if (left < 2) break;
    if (withValues && k.hasValue) {
      p[-1] = '=';
      n = CopyN(p, k.value, left - 1);
      left -= std::uint32_t(n + 1);
      p += n + 1;
    }
  }
  *p = '\0';
  if (left <= 1) {
    p[-1] = '\0';
    return size - 2;
  }
  return size - left;
}

std::uint32_t ListSectionNames(const Document& doc, char* buffer, std::uint32_t size) {
  if (!buffer || size == 0) return 0;
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  std::uint32_t left = size - 1;
  char* p = buffer;
  for (const Section& s : doc.sections) {
    if (s.name.empty()) continue;
    std::uint32_t need = std::uint32_t(s.name.size() + 1);
    if (need >= left) {
      if (left > 0) {
        std::memcpy(p, s.name.data(), left - 1);
        p += left - 1;
        *p++ = '\0';
      }
      *p = '\0';
      return size - 2;
    }
    std::memcpy(p, s.name.c_str(), need);
    p += need;
    left -= need;
  }
  *p = '\0';
  return std::uint32_t(p - buffer);
}

// Narrowing a list to the caller's buffer: everything when it fits,
// otherwise the first `size` characters and a failure (0).
std::uint32_t Narrow(const char* src, std::uint32_t count, char* dst, std::uint32_t size) {
  if (count <= size) {
    std::memcpy(dst, src, count);
    return count;
  }
  std::memcpy(dst, src, size);
  return 0;
}

std::string StripDefault(const char* value) {
  std::string_view v(value);
  std::size_t n = v.size();
  while (n > 1 && v[n - 1] == ' ') --n;
  return std::string(v.substr(0, n));
}

// Sets a value as the writer does: finds (or appends) the section and the key
// by their blank-trimmed names; new names keep their trailing blanks.
// Returns true when the document changed.
bool SetValue(Document& doc, std::string_view section, std::string_view key,
              std::string_view value, bool alwaysAppend) {
  Section* s = FindSectionExact(doc, Trim(section));
  Key* k = nullptr;
  if (!s) {
    doc.sections.emplace_back();
    s = &doc.sections.back();
    s->name = std::string(SkipLeadingBlanks(section));
    doc.Invalidate();
  } else if (!alwaysAppend) {
    k = FindKeyExact(*s, Trim(key));
  }
  if (!k) {
    s->keys.emplace_back();
    k = &s->keys.back();
    k->name = std::string(SkipLeadingBlanks(key));
    s->indexed = false;
    s->index.clear();
  }
  value = SkipLeadingBlanks(value);
  if (k->hasValue && k->value == value) return false;
  k->value = std::string(value);
  k->hasValue = true;
  return true;
}

bool DeleteSectionIn(Document& doc, std::string_view name) {
  for (auto it = doc.sections.begin(); it != doc.sections.end(); ++it) {
    if (EqualNoCase(it->name, name)) {
      doc.sections.erase(it);
      doc.Invalidate();
      return true;
    }
  }
  return false;
}

bool DeleteKeyIn(Document& doc, std::string_view section, std::string_view key) {
  for (Section& s : doc.sections) {
    if (!EqualNoCase(s.name, section)) continue;
    for (auto it = s.keys.begin(); it != s.keys.end(); ++it) {
      if (EqualNoCase(it->name, key)) {
        s.keys.erase(it);
        doc.Invalidate();
        return true;
      }
    }
  }
  return false;
}

bool DeleteSectionFile(const char* section, const char* path) {
  std::shared_ptr<Document> doc;
  if (!section || !path || LoadForWrite(path, doc) == OpenResult::Failed) return false;
  if (DeleteSectionIn(*doc, section)) Save(path, doc);
  return true;
}

}  // namespace

void SetProfileSaveHook(bool (*hook)(const char* path)) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_saveHook = hook;
}

std::uint32_t ProfileGetSectionNames(char* buffer, std::uint32_t size, const char* path) {
  if (!buffer || size == 0) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  std::shared_ptr<Document> doc;
  if (!path || Load(path, doc) == OpenResult::Failed) {
    buffer[0] = '\0';
    return 0;
  }
  return ListSectionNames(*doc, buffer, size);
}

std::uint32_t ProfileGetSection(const char* section, char* buffer, std::uint32_t size,
                                const char* path) {
  if (!section || !buffer || size < 2) {
    if (buffer && size) buffer[0] = '\0';
    return 0;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  std::shared_ptr<Document> doc;
  const Section* s = nullptr;
  if (path && Load(path, doc) != OpenResult::Failed) s = FindSectionExact(*doc, section);
  std::uint32_t wide = 0;
  std::vector<char> temp;
  if (s) {
    // The list is built in a buffer twice as long and then narrowed, which
    // decides the truncation rules.
    temp.assign(std::size_t(size) * 2, '\0');
    wide = ListSection(*s, true, temp.data(), size * 2);
  }
  if (wide == 0) {
    buffer[0] = buffer[1] = '\0';
    return 0;
  }
  if (wide == size * 2 - 2) ++wide;
  std::uint32_t r = Narrow(temp.data(), wide + 1, buffer, size);
  if (r == 0 || r == size) {
    buffer[size - 2] = buffer[size - 1] = '\0';
    return size - 2;
  }
  return r - 1;
}

std::uint32_t ProfileGetString(const char* section, const char* key, const char* defaultValue,
                               char* buffer, std::uint32_t size, const char* path) {
  if (!buffer || size == 0) return 0;
  if (!defaultValue) defaultValue = "";
  if (!section) return ProfileGetSectionNames(buffer, size, path);
  std::lock_guard<std::mutex> lock(g_mutex);
  std::shared_ptr<Document> doc;
  OpenResult opened = path ? Load(path, doc) : OpenResult::Failed;
  if (!key) {
    std::vector<char> temp(size, '\0');
    std::uint32_t n = 0;
    const Section* s = opened == OpenResult::Failed ? nullptr : FindSectionExact(*doc, section);
    if (s) n = ListSection(*s, false, temp.data(), size);
    if (!temp[0]) n = CopyEntry(temp.data(), defaultValue, size);
    std::uint32_t r = 0;
    if (n) {
      r = Narrow(temp.data(), n, buffer, size - 1);
      if (!r) r = size - 1;
    }
    buffer[r] = '\0';
    return r;
  }
  std::string def = StripDefault(defaultValue);
  if (opened == OpenResult::Failed) return std::uint32_t(CopyN(buffer, def, size));
  const Key* k = nullptr;
  if (Section* s = FindSectionExact(*doc, Trim(section))) k = FindKeyExact(*s, Trim(key));
  if (k && k->hasValue) return CopyEntry(buffer, k->value, size);
  return CopyEntry(buffer, def, size);
}

bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const char* path) {
  if (!path) return false;
  if (!section && !key && !value) return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!key) return DeleteSectionFile(section, path);
  std::shared_ptr<Document> doc;
  if (LoadForWrite(path, doc) == OpenResult::Failed) return false;
  if (!section) return false;
  bool changed = value ? SetValue(*doc, section, key, value, false)
                       : DeleteKeyIn(*doc, section, key);
  return changed ? Save(path, doc) : true;
}

bool ProfileWriteSection(const char* section, const char* lines, const char* path) {
  if (!path) return false;
  if (!section && !lines) return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!lines) return DeleteSectionFile(section, path);
  if (!section) return false;
  std::shared_ptr<Document> doc;
  if (LoadForWrite(path, doc) == OpenResult::Failed) return false;
  bool changed = false;
  for (Section& s : doc->sections) {
    if (EqualNoCase(s.name, section) && !s.keys.empty()) {
      s.keys.clear();
      changed = true;
    }
  }
  if (changed) doc->Invalidate();
  for (const char* p = lines; *p; p += std::strlen(p) + 1) {
    std::string_view line(p);
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    SetValue(*doc, section, line.substr(0, eq), line.substr(eq + 1), true);
    changed = true;
  }
  return changed ? Save(path, doc) : true;
}

}  // namespace platform
