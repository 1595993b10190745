// The typing engine on the simulated desktop: from a key to a filled first
// page, with 5 dictionaries of 200,000 entries (each with a commonness value)
// and 100,000 learned words, in key order (argument 0) and common first (1);
// a mistyped word, whose letters find no match and take the search for words
// near it; and a path query in a folder of 10,000 entries.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "dict/Dictionary.h"
#include "engine/sim/SimWorld.h"

namespace {

namespace fs = std::filesystem;

std::string RandomWord(std::mt19937& rng) {
  std::string w;
  size_t n = 3 + rng() % 8;
  for (size_t i = 0; i < n; ++i) w += static_cast<char>('a' + rng() % 26);
  return w;
}

struct World : engine::SimWorld {
  fs::path root;
  platform::WindowHandle edit = 0;
  std::vector<std::string> words;  // some of the dictionaries' words

  World() {
    root = fs::temp_directory_path() / ("quillet-engine-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(root / "libs");
    std::mt19937 rng(5);
    for (int d = 0; d < 5; ++d) {
      CDictionary dict;
      dict.Open((root / "libs" / ("d" + std::to_string(d) + ".lib")).string().c_str());
      dict.SaveInfo();
      std::vector<std::pair<std::string, int32_t>> values;
      for (int i = 0; i < 200000; ++i) {
        const std::string word = RandomWord(rng);
        dict.AddItem(DictItem(word, i % 10 ? "" : "remark"), true);
        if (word.size() >= 7 && words.size() < 20000) words.push_back(word);
        values.emplace_back(word, static_cast<int32_t>(1 + rng() % 100));
      }
      dict.SetCommonness(values);
      dict.Close();
    }
    {
      std::ofstream learned(root / "learn.txt", std::ios::binary);
      for (int i = 0; i < 100000; ++i) learned << RandomWord(rng) << "\t" << (1 + i % 7) << "\r\n";
    }
    autoLearn.Open((root / "libs" / "AutoLearn.dic").string());
    autoLearn.Import((root / "learn.txt").string());
    dictSet.LoadAll((root.string() + "/libs/*.lib").c_str(), false);
    dictSet.PrepareCommon();
    edit = AddEditBox(AddNotepad());
    Start(edit);
  }
  ~World() override {
    main.reset();
    autoLearn.Close();
    dictSet.UnloadAll();
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

// Presses and releases a key; the microseconds from the press to the
// filled first page.
double TimedKey(World& world, uint8_t vk) {
  auto t0 = std::chrono::steady_clock::now();
  world.keyboard.Press(vk);
  world.main->Pump();
  auto t1 = std::chrono::steady_clock::now();
  world.keyboard.Release(vk);
  world.main->Pump();
  return std::chrono::duration<double, std::micro>(t1 - t0).count();
}

// One world for every benchmark: building it takes a while.
World& TheWorld() {
  static World world;
  return world;
}

void BM_KeyToFirstPage(benchmark::State& state) {
  World& world = TheWorld();
  world.config.bCommonFirst = static_cast<int32_t>(state.range(0));
  std::mt19937 rng(9);
  // Per letter position of a fresh word: the first letter matches some
  // 4,000 learned words, the second about 150, the third a handful.
  std::vector<double> micros[3];
  for (auto _ : state) {
    for (auto& m : micros) m.clear();
    for (int i = 0; i < 2000; ++i) {
      world.main->Engine().m_strInput = " ";
      for (int letter = 0; letter < 3; ++letter) {
        micros[letter].push_back(TimedKey(world, static_cast<uint8_t>('A' + rng() % 26)));
      }
      world.desktop.SetText(world.edit, "");
    }
  }
  std::vector<double> all;
  for (int letter = 0; letter < 3; ++letter) {
    std::sort(micros[letter].begin(), micros[letter].end());
    all.insert(all.end(), micros[letter].begin(), micros[letter].end());
    state.counters["letter" + std::to_string(letter + 1) + "_median_us"] = micros[letter][micros[letter].size() / 2];
  }
  std::sort(all.begin(), all.end());
  state.counters["median_us"] = all[all.size() / 2];
  state.counters["p99_us"] = all[all.size() * 99 / 100];
}
BENCHMARK(BM_KeyToFirstPage)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Words of seven letters or more with their second letter replaced: from
// the third letter on nothing matches, and every letter runs the search for
// words near the typed ones (argument 1) or not (0).
void BM_MistypedLetterToFirstPage(benchmark::State& state) {
  World& world = TheWorld();
  world.config.bFixTypos = static_cast<int32_t>(state.range(0));
  std::mt19937 rng(11);
  std::vector<double> micros;
  size_t offered = 0;
  for (auto _ : state) {
    micros.clear();
    for (int i = 0; i < 2000; ++i) {
      std::string word = world.words[rng() % world.words.size()];
      word[1] = word[1] == 'z' ? 'a' : static_cast<char>(word[1] + 1);
      world.main->Engine().m_strInput = " ";
      for (size_t letter = 0; letter < word.size(); ++letter) {
        const double us = TimedKey(world, static_cast<uint8_t>(word[letter] - 'a' + 'A'));
        if (letter >= 2) {
          micros.push_back(us);
          offered += world.main->visible ? 1 : 0;
        }
      }
      world.desktop.SetText(world.edit, "");
    }
  }
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[micros.size() * 99 / 100];
  state.counters["prompted_pct"] = 100.0 * static_cast<double>(offered) / static_cast<double>(micros.size());
}
BENCHMARK(BM_MistypedLetterToFirstPage)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PathQueryTenThousandEntries(benchmark::State& state) {
  World& world = TheWorld();
  static fs::path folder = [&world] {
    fs::path f = world.root / "drive" / "big";
    fs::create_directories(f);
    for (int i = 0; i < 10000; ++i) std::ofstream(f / ("file" + std::to_string(i) + ".txt")).put('x');
    return f;
  }();
  world.main->driveRoot = (world.root / "drive").string();
  for (auto _ : state) {
    world.main->Engine().m_strInput = "C:\\big\\file99";
    world.main->Engine().OnInputChanged();
    benchmark::DoNotOptimize(world.main->rows.size());
  }
}
BENCHMARK(BM_PathQueryTenThousandEntries)->Unit(benchmark::kMillisecond);

// One key through the hook and the posted messages, where no dictionary
// answers: the checks every key goes through (typing window, rules, the
// reason for prompting or not) and the buffer, with nothing to look up.
void BM_KeyWithoutLookup(benchmark::State& state) {
  engine::SimWorld world;
  const platform::WindowHandle edit = world.AddEditBox(world.AddNotepad());
  world.Start(edit);
  int keys = 0;
  for (auto _ : state) {
    // Words of seven letters.
    world.keyboard.Tap(++keys % 8 ? 'A' : ' ');
    world.main->Pump();
    if (keys % 1000 == 0) world.desktop.SetText(edit, "");
  }
}
BENCHMARK(BM_KeyWithoutLookup);

}  // namespace

BENCHMARK_MAIN();
