#include "Keys.h"

#include <cstdlib>

namespace term {

std::uint8_t KeyByName(const std::string& name) {
  static const struct {
    const char* name;
    std::uint8_t vk;
  } kNames[] = {{"Tab", 0x09},    {"Enter", 0x0D}, {"Esc", 0x1B},  {"Up", 0x26},     {"Down", 0x28},
                {"Left", 0x25},   {"Right", 0x27}, {"Home", 0x24}, {"End", 0x23},    {"PgUp", 0x21},
                {"PgDn", 0x22},   {"Back", 0x08},  {"Delete", 0x2E}, {"CapsLock", 0x14}};
  for (const auto& n : kNames)
    if (name == n.name) return n.vk;
  if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
    int number = std::atoi(name.c_str() + 1);
    if (number >= 1 && number <= 10 && name != "F0" && name[1] != '0') return static_cast<std::uint8_t>(0x70 + number - 1);
  }
  return 0;
}

bool ParseKeys(const std::string& script, std::vector<ScriptKey>& keys, std::string& error) {
  keys.clear();
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] != '{') {
      keys.push_back({true, script[i], 0});
      continue;
    }
    if (i + 1 < script.size() && script[i + 1] == '{') {
      keys.push_back({true, '{', 0});
      ++i;
      continue;
    }
    size_t close = script.find('}', i);
    if (close == std::string::npos) {
      error = script.substr(i);
      return false;
    }
    std::string name = script.substr(i + 1, close - i - 1);
    std::uint8_t vk = KeyByName(name);
    if (vk == 0) {
      error = "{" + name + "}";
      return false;
    }
    keys.push_back({false, 0, vk});
    i = close;
  }
  return true;
}

}  // namespace term
