// quillet-mk: shows what a storage file holds.
//   quillet-mk dump [--xor] FILE
// prints the structure, the byte order and every row of every view, values
// quoted with bytes outside 0x20..0x7E written as \xNN. --xor reads the file
// through the position-XOR layer of dictionary files.
#include <cstdio>
#include <cstring>
#include <string>

#include "mk/mk4.h"

namespace {

// The position-XOR layer of dictionary files, for reading them here.
class XorStrategy : public c4_FileStrategy {
 public:
  int DataRead(t4_i32 pos, void* buffer, int length) override {
    int n = c4_FileStrategy::DataRead(pos, buffer, length);
    auto* p = static_cast<unsigned char*>(buffer);
    for (int i = 0; i < n; ++i) p[i] ^= static_cast<unsigned char>((pos + i) ^ 0x1B5);
    return n;
  }
};

std::string Quote(const char* s) {
  std::string out = "\"";
  for (; *s; ++s) {
    unsigned char c = static_cast<unsigned char>(*s);
    if (c == '\\') out += "\\\\";
    else if (c == '"') out += "\\\"";
    else if (c >= 0x20 && c <= 0x7E) out += static_cast<char>(c);
    else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out + "\"";
}

int Usage() {
  std::fprintf(stderr, "usage: quillet-mk dump [--xor] FILE\n");
  return 2;
}

int Dump(const char* path, bool useXor) {
  XorStrategy xorFile;
  c4_FileStrategy plainFile;
  c4_FileStrategy& file = useXor ? xorFile : plainFile;
  if (!file.DataOpen(path, 0)) {
    std::fprintf(stderr, "quillet-mk: cannot open %s\n", path);
    return 1;
  }
  c4_Storage storage(file, false, 0);
  if (!storage.IsValid()) {
    std::fprintf(stderr, "quillet-mk: %s is not a storage file\n", path);
    return 1;
  }
  std::printf("structure: %s\n", Quote(storage.Description().c_str()).c_str());
  if (!storage.HasHeader())
    std::printf("byte order: none (empty file, no header)\n");
  else if (storage.IsBigEndian())
    std::printf("byte order: big-endian (header \"LJ\")\n");
  else
    std::printf("byte order: little-endian (header \"JL\")\n");
  for (int v = 0; v < storage.NumViews(); ++v) {
    std::string name = storage.NthViewName(v);
    c4_View view = storage.View(name.c_str());
    std::printf("view %s rows=%d\n", name.c_str(), view.GetSize());
    for (int r = 0; r < view.GetSize(); ++r) {
      std::string line = name + "[" + std::to_string(r) + "]";
      for (int p = 0; p < view.NumProperties(); ++p) {
        const c4_Property& prop = view.NthProperty(p);
        line += " ";
        line += prop.Name();
        line += "=";
        if (prop.Type() == 'I') {
          line += std::to_string(static_cast<t4_i32>(c4_IntProp(prop.Name())(view[r])));
        } else {
          line += Quote(c4_StringProp(prop.Name())(view[r]));
        }
      }
      std::printf("%s\n", line.c_str());
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || std::strcmp(argv[1], "dump") != 0) return Usage();
  bool useXor = false;
  int i = 2;
  if (std::strcmp(argv[i], "--xor") == 0) {
    useXor = true;
    ++i;
  }
  if (i != argc - 1) return Usage();
  return Dump(argv[i], useXor);
}
