// Reading the reference files in tests/fixtures.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::vector<uint8_t> ReadFixture(const std::string& name) {
  std::ifstream in(std::string(QUILLET_FIXTURES) + "/metakit/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
