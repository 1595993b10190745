// Reading the reference files in tests/fixtures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Files.h"

inline std::vector<uint8_t> ReadFixture(const std::string& name) {
  const std::string bytes = testutil::ReadFile(testutil::FixturePath(name));
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}
