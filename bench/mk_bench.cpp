// Storage library figures on a dictionary of 1,000,000 rows.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <random>

#include "mk/memory_strategy.h"

namespace {

c4_StringProp pKey("key"), pData("data");

std::vector<std::string> MakeKeys(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> keys;
  keys.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    std::string k;
    size_t len = 4 + rng() % 8;
    for (size_t j = 0; j < len; ++j) k += static_cast<char>('a' + rng() % 26);
    keys.push_back(std::move(k));
  }
  return keys;
}

// A committed file of a million keys, every tenth with a remark.
const std::vector<uint8_t>& MillionRowFile() {
  static std::vector<uint8_t> bytes = [] {
    std::vector<std::string> keys = MakeKeys(1000000, 1);
    std::sort(keys.begin(), keys.end());
    MemoryStrategy file({}, true);
    c4_Storage s(file);
    c4_View v = s.GetAs("DBDATA[key:S,data:S]");
    for (size_t i = 0; i < keys.size(); ++i)
      v.Add(pKey[keys[i]] + pData[i % 10 == 0 ? "a short remark" : ""]);
    s.Commit();
    return file.bytes;
  }();
  return bytes;
}

void BM_OpenMillionRows(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = MillionRowFile();
  size_t heldAfterOpen = 0;
  for (auto _ : state) {
    state.PauseTiming();
    MemoryStrategy file(bytes, true);
    size_t before = mallinfo2().uordblks;
    state.ResumeTiming();
    c4_Storage s(file);
    c4_View v = s.GetAs("DBDATA[key:S,data:S]");
    benchmark::DoNotOptimize(v.Search(pKey["middle"]));
    state.PauseTiming();
    heldAfterOpen = mallinfo2().uordblks - before;
    state.ResumeTiming();
  }
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
  state.counters["memory_per_file_byte"] = static_cast<double>(heldAfterOpen) / bytes.size();
}
BENCHMARK(BM_OpenMillionRows)->Unit(benchmark::kMillisecond);

void BM_SearchMillionRows(benchmark::State& state) {
  MemoryStrategy file(MillionRowFile(), true);
  c4_Storage s(file);
  c4_View v = s.GetAs("DBDATA[key:S,data:S]");
  std::vector<std::string> probes = MakeKeys(1024, 2);
  std::vector<c4_Row> rows;
  for (auto& p : probes) rows.push_back(pKey[p]);
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(v.Search(rows[i++ & 1023]));
}
BENCHMARK(BM_SearchMillionRows)->Unit(benchmark::kMicrosecond);

void InsertMillion(benchmark::State& state, bool sorted) {
  std::vector<std::string> keys = MakeKeys(1000000, 3);
  if (sorted) std::sort(keys.begin(), keys.end());
  for (auto _ : state) {
    MemoryStrategy file({}, true);
    c4_Storage s(file);
    c4_View v = s.GetAs("DBDATA[key:S,data:S]");
    for (const std::string& k : keys) {
      c4_Row row = pKey[k];
      v.InsertAt(v.Search(row), row, 1);
    }
    s.Commit();
    benchmark::DoNotOptimize(file.bytes.size());
  }
}
void BM_InsertMillionSorted(benchmark::State& state) { InsertMillion(state, true); }
void BM_InsertMillionShuffled(benchmark::State& state) { InsertMillion(state, false); }
BENCHMARK(BM_InsertMillionSorted)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_InsertMillionShuffled)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
