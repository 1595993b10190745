// Helpers every test folder shares: a scratch folder per test, whole-file
// reads and writes, the Metakit reference files and repeatable garbage.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace testutil {

// A fresh folder named after the running test, removed with everything in it
// at the end.
class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> serial{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "quillet-test-";
    if (info) name = name + info->test_suite_name() + "-" + info->name() + "-";
    name += std::to_string(serial++);
    for (char& c : name) {
      if (c == '/' || c == '\\') c = '_';
    }
    path_ = std::filesystem::temp_directory_path() / name;
    std::error_code error;
    std::filesystem::remove_all(path_, error);
    std::filesystem::create_directories(path_, error);
  }
  ~ScratchDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A file in the folder, in the platform's own spelling.
  std::string File(std::string_view name) const { return (path_ / name).string(); }
  // The folder with a trailing separator.
  std::string DirWithSeparator() const { return (path_ / "").string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A reference file of tests/fixtures/metakit.
inline std::string FixturePath(const std::string& name) {
  std::string root = QUILLET_FIXTURES;
#ifdef _WIN32
  // Under Wine the build machine's root folder is drive Z:.
  if (!root.empty() && root[0] == '/') root = "Z:" + root;
#endif
  return root + "/metakit/" + name;
}

// n bytes of binary garbage, the same on every run.
inline std::string Junk(int n, int mul, int add) {
  std::string junk;
  for (int i = 0; i < n; ++i) junk += static_cast<char>((i * mul + add) & 0xFF);
  return junk;
}

}  // namespace testutil
