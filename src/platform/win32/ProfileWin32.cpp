// The profile functions of the system, unchanged.
#include "platform/Profile.h"

#include <windows.h>

namespace platform {

std::uint32_t ProfileGetString(const char* section, const char* key, const char* defaultValue,
                               char* buffer, std::uint32_t size, const char* path) {
  return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, path);
}

std::uint32_t ProfileGetSection(const char* section, char* buffer, std::uint32_t size,
                                const char* path) {
  return GetPrivateProfileSectionA(section, buffer, size, path);
}

std::uint32_t ProfileGetSectionNames(char* buffer, std::uint32_t size, const char* path) {
  return GetPrivateProfileSectionNamesA(buffer, size, path);
}

bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const char* path) {
  return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}

bool ProfileWriteSection(const char* section, const char* lines, const char* path) {
  return WritePrivateProfileSectionA(section, lines, path) != FALSE;
}

}  // namespace platform
