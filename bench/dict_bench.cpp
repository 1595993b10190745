// Dictionary figures: a page of merged lookup over five dictionaries of
// 200,000 entries each, loading those five files, importing a word list of a
// million words and exporting a million entries.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "dict/DictDialogs.h"
#include "dict/Dictionary.h"
#include "dict/DictionarySet.h"
#include "dict/ImportExport.h"

namespace {

namespace fs = std::filesystem;

// A scratch folder for the whole run.
struct Scratch {
  Scratch() {
    path = fs::temp_directory_path() / ("quillet-dict-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(path);
  }
  ~Scratch() {
    std::error_code error;
    fs::remove_all(path, error);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  fs::path path;
};

Scratch& Dir() {
  static Scratch scratch;
  return scratch;
}

// English-like lower-case words, a few two-word phrases.
std::vector<std::string> MakeWords(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> words;
  words.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    std::string w;
    const size_t length = 3 + rng() % 9;
    for (size_t j = 0; j < length; ++j) w += static_cast<char>('a' + rng() % 26);
    if (i % 50 == 0) w += " and";
    words.push_back(std::move(w));
  }
  return words;
}

// A dictionary file holding the words (added in search order, so building
// it is quick); every tenth entry has a remark.
void BuildDictionary(const std::string& path, std::vector<std::string> words) {
  std::sort(words.begin(), words.end());
  CDictionary dictionary;
  dictionary.Open(path.c_str());
  dictionary.SaveInfo();
  for (size_t i = 0; i < words.size(); ++i)
    dictionary.AddItem(DictItem(words[i], i % 10 == 0 ? "a short remark" : ""), true);
  dictionary.Close();
}

const std::string& FiveDictionaries() {
  static const std::string pattern = [] {
    fs::create_directories(Dir().path / "five");
    for (int i = 0; i < 5; ++i)
      BuildDictionary(Dir().File("five/d" + std::to_string(i) + ".lib"), MakeWords(200000, 10 + i));
    return Dir().File("five/*.lib");
  }();
  return pattern;
}

void BM_LookupPage(benchmark::State& state) {
  CDictionarySet set;
  set.LoadAll(FiveDictionaries().c_str(), false);
  std::vector<std::string> prefixes;
  for (char a = 'a'; a <= 'z'; ++a)
    for (char b = 'a'; b <= 'z'; b += 5) prefixes.push_back(std::string{a, b});
  size_t next = 0;
  int rows = 0;
  for (auto _ : state) {
    const std::string& prefix = prefixes[next++ % prefixes.size()];
    DictItem item;
    int page = 0;
    for (bool found = set.FindFirst(prefix.c_str(), item, kDefaultMatchFlags, true); found && ++page < 10;
         found = set.FindNext(item)) {
    }
    rows += page;
    benchmark::DoNotOptimize(item);
  }
  state.counters["rows/page"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LookupPage)->Unit(benchmark::kMicrosecond);

void BM_LoadAll(benchmark::State& state) {
  const std::string& pattern = FiveDictionaries();
  CDictionarySet set;
  for (auto _ : state) {
    benchmark::DoNotOptimize(set.LoadAll(pattern.c_str(), false));
    state.PauseTiming();
    set.UnloadAll();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadAll)->Unit(benchmark::kMillisecond);

// The Dictionaries Manager opening on 20 dictionaries of 200,000 entries
// (copies of the five above).
void BM_ManagerFill(benchmark::State& state) {
  const std::string twenty = [] {
    const fs::path folder = Dir().path / "twenty";
    fs::create_directories(folder);
    FiveDictionaries();
    for (int i = 0; i < 20; ++i)
      fs::copy_file(Dir().path / "five" / ("d" + std::to_string(i % 5) + ".lib"),
                    folder / ("d" + std::to_string(i) + ".lib"), fs::copy_options::overwrite_existing);
    return Dir().File("twenty/*.lib");
  }();
  for (auto _ : state) {
    CDictManagerModel manager([](const std::string&) { return true; }, {});
    manager.Fill(twenty);
    benchmark::DoNotOptimize(manager.Rows().data());
  }
}
BENCHMARK(BM_ManagerFill)->Unit(benchmark::kMillisecond);

// The dictionary editor listing a whole dictionary of 100,000 entries.
void BM_EditorQueryAll(benchmark::State& state) {
  static const std::string path = [] {
    const std::string file = Dir().File("editor.lib");
    BuildDictionary(file, MakeWords(100000, 3));
    return file;
  }();
  CDictEditorModel editor("\\Libs\\UserDictionary.lib", "\\Libs\\UserShortHands.lib");
  editor.Open(path);
  for (auto _ : state) {
    editor.Query("");
    benchmark::DoNotOptimize(editor.Rows().data());
  }
  state.counters["rows"] = static_cast<double>(editor.Rows().size());
}
BENCHMARK(BM_EditorQueryAll)->Unit(benchmark::kMillisecond);

void BM_ImportWordList(benchmark::State& state) {
  const std::string text = Dir().File("words.txt");
  {
    std::ofstream out(text, std::ios::binary);
    std::vector<std::string> words = MakeWords(1000000, 99);
    for (size_t i = 0; i < words.size(); ++i) {
      std::replace(words[i].begin(), words[i].end(), ' ', '-');
      out << words[i] << (i % 12 == 11 ? "\r\n" : " ");
    }
  }
  int64_t added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = Dir().File("import.lib");
    fs::remove(path);
    CDictionary dictionary;
    dictionary.Open(path.c_str());
    state.ResumeTiming();
    added = ImportWordList(dictionary, text.c_str(), nullptr);
    state.PauseTiming();
    dictionary.Close();
    state.ResumeTiming();
  }
  state.counters["words"] = static_cast<double>(added);
}
BENCHMARK(BM_ImportWordList)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExportTagged(benchmark::State& state) {
  const std::string path = Dir().File("export.lib");
  BuildDictionary(path, MakeWords(1000000, 7));
  CDictionary dictionary;
  dictionary.Open(path.c_str());
  int64_t written = 0;
  for (auto _ : state) written = ExportTagged(dictionary, Dir().File("export.txt").c_str(), nullptr);
  state.counters["entries"] = static_cast<double>(written);
}
BENCHMARK(BM_ExportTagged)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
