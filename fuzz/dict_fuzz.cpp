// Any bytes as a dictionary file, a tagged text file or a word list. The
// first byte chooses: bit 0..1 = 0 or 1 a dictionary file (1: record
// scrambling switched on before adding), 2 a tagged text import, 3 a
// word-list import followed by a word-count import of the same text. The
// rest is the file. Dictionaries are also read and changed by commonness. Dictionary bytes are given as the
// storage sees them; the file layer is put on before writing them out.
// Nothing may crash, and a dictionary that does not open must leave its file
// as it was.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dict/Dictionary.h"
#include "dict/ImportExport.h"
#include "dict/LibFileStrategy.h"

namespace {

std::string TempPath(const char* suffix) {
  return (std::filesystem::temp_directory_path() /
          ("quillet-dict-fuzz-" + std::to_string(getpid()) + suffix))
      .string();
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ReadAll(CDictionary& dictionary) {
  DictItem item;
  int guard = 0;
  for (bool found = dictionary.FindFirst("", item, DICT_MATCH_ALL); found && ++guard < 1000000;
       found = dictionary.FindNext(item)) {
    DictItem copy(item);
    (void)copy;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int mode = data[0] & 3;
  std::string body(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string lib = TempPath(".lib");
  std::filesystem::remove(lib);

  if (mode <= 1) {
    ApplyLibFileMask(0, reinterpret_cast<unsigned char*>(body.data()), static_cast<int>(body.size()));
    Write(lib, body);
    bool opened = false;
    {
      CDictionary dictionary;
      opened = dictionary.Open(lib.c_str());
      ReadAll(dictionary);
      DictItem item;
      dictionary.FindFirst("a", item, kDefaultMatchFlags);
      dictionary.FindNext(item);
      for (bool found = dictionary.HasCommonness() && dictionary.FindFirstCommon("", item, kDefaultMatchFlags);
           found; found = dictionary.FindNext(item))
        if (dictionary.CurrentCommonness() < 0 || dictionary.GetCommonness(item) < 0) std::abort();
      dictionary.FindFirstCommon("a", item, kDefaultMatchFlags);
      if (mode == 1) dictionary.SetScrambled(1);
      dictionary.AddItem(DictItem("fuzz", "data"), true);
      dictionary.DeleteItem(DictItem("a"));
      dictionary.SetCommonness({{"fuzz", 3}, {"a", 0}});
      dictionary.SaveInfo();
    }
    if (!opened && Read(lib) != body) std::abort();
    CDictionary again;
    if (again.Open(lib.c_str())) ReadAll(again);
  } else {
    const std::string text = TempPath(".txt");
    Write(text, body);
    {
      CDictionary dictionary;
      if (!dictionary.Open(lib.c_str())) std::abort();
      const int32_t count = mode == 2 ? ImportTagged(dictionary, text.c_str(), nullptr)
                                      : ImportWordList(dictionary, text.c_str(), nullptr);
      if (count < 0 || dictionary.GetItemCount() > count) std::abort();
      ReadAll(dictionary);
      if (mode == 3) {
        CountImport counts;
        ImportCounts(dictionary, text.c_str(), counts);
        if (counts.words < 0 || counts.added > counts.words || counts.skipped < 0) std::abort();
      }
      ExportTagged(dictionary, text.c_str(), nullptr);
    }
    std::filesystem::remove(text);
  }
  std::filesystem::remove(lib);
  return 0;
}
