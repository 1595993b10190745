// Key scripts for quillet-term --keys: literal characters and named keys in
// braces ({Tab}, {Enter}, {Esc}, {Up}, {Down}, {Left}, {Right}, {Home},
// {End}, {PgUp}, {PgDn}, {Back}, {Delete}, {F1}..{F10}, {CapsLock}); "{{"
// stands for a brace.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace term {

struct ScriptKey {
  bool isText = false;
  char text = 0;               // a literal character
  std::uint8_t virtualKey = 0; // a named key
};

// False (with the offending part in error) for an unknown name or an
// unclosed brace.
bool ParseKeys(const std::string& script, std::vector<ScriptKey>& keys, std::string& error);
// The virtual key of a key name ("Tab", "F3", ...), 0 when unknown.
std::uint8_t KeyByName(const std::string& name);

}  // namespace term
