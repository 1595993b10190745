// Learning-file speed with a large vocabulary: learning a word, a prefix
// series, opening the file, importing a word list, and the Options page
// filling its list from the file and saving it back.

#include "learn/AutoLearn.h"
#include "learn/AutoLearnPage.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWords = 100000;

std::string ScratchFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

std::vector<std::string> Vocabulary(int n)
{
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> length(3, 12);
    std::uniform_int_distribution<int> letter(0, 25);
    std::vector<std::string> words;
    words.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::string w;
        for (int k = length(rng); k > 0; --k)
            w.push_back(static_cast<char>('a' + letter(rng)));
        words.push_back(std::move(w));
    }
    return words;
}

// A learning file of n records written directly, 516 bytes each.
std::string MakeLearningFile(const char* name, int n)
{
    const std::string path = ScratchFile(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::vector<char> record(516);
    std::uint32_t i = 0;
    for (const std::string& w : Vocabulary(n)) {
        std::fill(record.begin(), record.end(), 0);
        record[0] = static_cast<char>(1 + i++ % 5);
        w.copy(record.data() + 4, w.size());
        std::fwrite(record.data(), 1, record.size(), f);
    }
    std::fclose(f);
    return path;
}

void BM_SaveInputKnownWord(benchmark::State& state)
{
    const std::string path = MakeLearningFile("quillet-bench-learn-known.dic", kWords);
    const std::vector<std::string> words = Vocabulary(kWords);
    CAutoLearn al;
    al.Open(path);
    std::size_t i = 0;
    for (auto _ : state) {
        al.SaveInput(words[(i * 7919) % words.size()] + " ");
        ++i;
    }
    al.Close();
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveInputKnownWord);

void BM_SaveInputNewWord(benchmark::State& state)
{
    const std::string path = MakeLearningFile("quillet-bench-learn-new.dic", kWords);
    CAutoLearn al;
    al.Open(path);
    std::uint64_t i = 0;
    std::string text;
    for (auto _ : state) {
        text = "new";
        for (std::uint64_t v = i++; v != 0; v /= 26)
            text.push_back(static_cast<char>('a' + v % 26));
        text.push_back(' ');
        al.SaveInput(text);
    }
    state.counters["records"] = al.GetRecordCount();
    al.Close();
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveInputNewWord);

// One prompt's worth of learned words: the whole series for a prefix. The
// two prefixes alternate, so every series starts without a remembered match
// list, as when the user types on.
void BM_PrefixSeriesTwoLetters(benchmark::State& state)
{
    const std::string path = MakeLearningFile("quillet-bench-learn-series.dic", kWords);
    CAutoLearn al;
    al.Open(path);
    const char* prefixes[] = {"th", "an"};
    std::size_t i = 0;
    std::int64_t found = 0;
    for (auto _ : state) {
        const char* prefix = prefixes[i++ % 2];
        for (std::string w = al.FindFirst(prefix); !w.empty(); w = al.FindNext(prefix))
            ++found;
    }
    state.counters["words_per_series"] =
        static_cast<double>(found) / static_cast<double>(state.iterations());
    al.Close();
    std::filesystem::remove(path);
}
BENCHMARK(BM_PrefixSeriesTwoLetters);

void BM_PrefixSeriesOneLetter(benchmark::State& state)
{
    const std::string path = MakeLearningFile("quillet-bench-learn-series1.dic", kWords);
    CAutoLearn al;
    al.Open(path);
    const char* prefixes[] = {"t", "a"};
    std::size_t i = 0;
    std::int64_t found = 0;
    for (auto _ : state) {
        const char* prefix = prefixes[i++ % 2];
        for (std::string w = al.FindFirst(prefix); !w.empty(); w = al.FindNext(prefix))
            ++found;
    }
    state.counters["words_per_series"] =
        static_cast<double>(found) / static_cast<double>(state.iterations());
    al.Close();
    std::filesystem::remove(path);
}
BENCHMARK(BM_PrefixSeriesOneLetter);

void BM_Open(benchmark::State& state)
{
    const std::string path = MakeLearningFile("quillet-bench-learn-open.dic", kWords);
    for (auto _ : state) {
        auto al = std::make_unique<CAutoLearn>();
        benchmark::DoNotOptimize(al->Open(path));
        state.PauseTiming();
        al.reset();  // letting go of the records is not part of opening
        state.ResumeTiming();
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State& state)
{
    const std::string text = ScratchFile("quillet-bench-learn-import.txt");
    {
        std::FILE* f = std::fopen(text.c_str(), "wb");
        int i = 0;
        for (const std::string& w : Vocabulary(kWords))
            std::fprintf(f, "%s\t%d\r\r\n", w.c_str(), 1 + i++ % 9);
        std::fclose(f);
    }
    const std::string path = ScratchFile("quillet-bench-learn-import.dic");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(path);
        CAutoLearn al;
        al.Open(path);
        state.ResumeTiming();
        std::int32_t count = 0;
        al.Import(text, nullptr, &count);
        benchmark::DoNotOptimize(count);
    }
    std::filesystem::remove(path);
    std::filesystem::remove(text);
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond);

// The AutoLearn page's list of 100,000 learned words: filled from the file,
// then saved back whole (a new file that replaces the old one).
void BM_PageFillList(benchmark::State& state)
{
    const std::string path = MakeLearningFile("quillet-bench-learn-page.dic", kWords);
    CAutoLearn al;
    al.Open(path);
    for (auto _ : state) {
        CAutoLearnPageModel page(&al);
        page.FillList();
        benchmark::DoNotOptimize(page.Rows().data());
    }
    al.Close();
    std::filesystem::remove(path);
}
BENCHMARK(BM_PageFillList)->Unit(benchmark::kMillisecond);

void BM_PageSaveList(benchmark::State& state)
{
    const std::string path = MakeLearningFile("quillet-bench-learn-save.dic", kWords);
    CAutoLearn al;
    al.Open(path);
    CAutoLearnPageModel page(&al);
    page.FillList();
    for (auto _ : state) {
        if (!page.SaveList())
            state.SkipWithError("save failed");
    }
    al.Close();
    std::filesystem::remove(path);
}
BENCHMARK(BM_PageSaveList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
