// Reading the reference files in tests/fixtures.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

inline std::vector<uint8_t> ReadFixture(const std::string& name) {
  std::string path = std::string(QUILLET_FIXTURES) + "/metakit/" + name;
  std::vector<uint8_t> out;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
  }
  return out;
}

inline std::string ReadFixtureText(const std::string& name) {
  std::vector<uint8_t> bytes = ReadFixture(name);
  return std::string(bytes.begin(), bytes.end());
}
