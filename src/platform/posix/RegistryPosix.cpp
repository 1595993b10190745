// There is no system registry on posix systems: every key fails to open.
#include "platform/Registry.h"

namespace platform {
namespace {

class NoRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> CreateKey(RegistryRoot, const std::string&) override {
    return nullptr;
  }
};

}  // namespace

Registry& SystemRegistry() {
  static NoRegistry registry;
  return registry;
}

}  // namespace platform
