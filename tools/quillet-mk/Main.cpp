// quillet-mk: shows what a storage file holds.
//   quillet-mk dump [--xor] FILE
// prints the structure, the byte order and every row of every view, values
// quoted with bytes outside 0x20..0x7E written as \xNN. --xor reads the file
// through the position-XOR layer of dictionary files.
#include <cstdio>
#include <cstring>

#include "dict/LibFileStrategy.h"
#include "mk/dump.h"
#include "mk/mk4.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: quillet-mk dump [--xor] FILE\n");
  return 2;
}

int Dump(const char* path, bool useXor) {
  CLibFileStrategy xorFile;
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
  std::fputs(mk::DumpStorage(storage).c_str(), stdout);
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
