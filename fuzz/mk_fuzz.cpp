// Any bytes as a storage file: open, list, change and commit, then read the
// result again. Nothing may crash, hang or allocate without bound, and a
// file that did not open as a storage must come out unchanged.
#include <cstdlib>

#include "mk/dump.h"
#include "mk/memory_strategy.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  MemoryStrategy file(bytes, size % 2 == 1);
  c4_StringProp key("key"), value("data");
  {
    c4_Storage storage(file);
    mk::DumpStorage(storage);
    c4_View view = storage.GetAs("DBDATA[key:S,data:S]");
    view.InsertAt(view.Search(key["fuzz"]), key["fuzz"] + value["value"], 1);
    if (view.GetSize() > 1) view.RemoveAt(0, 1);
    bool committed = storage.Commit();
    if (!storage.IsValid() && (committed || file.bytes != bytes)) std::abort();
  }
  MemoryStrategy again(file.bytes, size % 2 == 1);
  c4_Storage reread(again, false, 0);
  mk::DumpStorage(reread);
  return 0;
}
