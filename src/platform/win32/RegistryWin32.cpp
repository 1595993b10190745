// The system registry.
#include "platform/Registry.h"

#include <windows.h>

namespace platform {
namespace {

class Win32Key final : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }
  Win32Key(const Win32Key&) = delete;
  Win32Key& operator=(const Win32Key&) = delete;

  bool QueryValue(const char* name, void* data, std::uint32_t* size) override {
    if (!size) return false;
    DWORD length = *size;
    LONG r = RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<BYTE*>(data), &length);
    *size = length;
    return r == ERROR_SUCCESS;
  }

  bool SetBinaryValue(const char* name, const void* data, std::uint32_t size) override {
    return RegSetValueExA(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
  }

 private:
  HKEY key_;
};

class Win32Registry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path) override {
    HKEY parent = root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY key = nullptr;
    if (RegCreateKeyA(parent, path.c_str(), &key) != ERROR_SUCCESS || !key) return nullptr;
    return std::make_unique<Win32Key>(key);
  }
};

}  // namespace

Registry& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace platform
