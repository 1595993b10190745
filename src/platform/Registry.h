// A small view of the system registry: open (creating) a key, read a value
// into a caller buffer, write a binary value. Windows: the real registry.
// posix: there is none, so OpenKey always fails and callers keep what they
// had. src/platform/sim/ has an in-memory registry for tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class RegistryRoot { LocalMachine, CurrentUser };

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Copies the value's bytes into `data`, at most *size of them, and sets
  // *size to the value's length. False when the value is absent or longer
  // than *size (then `data` is untouched).
  virtual bool QueryValue(const char* name, void* data, std::uint32_t* size) = 0;
  virtual bool SetBinaryValue(const char* name, const void* data, std::uint32_t size) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens the key `path` (backslash-separated) under `root`, creating it when
  // it does not exist; null when that fails. The key closes when released.
  virtual std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path) = 0;
};

Registry& SystemRegistry();

}  // namespace platform
