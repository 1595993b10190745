#include <windows.h>

#include <string>
#include <vector>

#include "platform/FileSearch.h"

namespace platform {

std::vector<std::string> FindFiles(const std::string& pattern) {
  std::vector<std::string> found;
  const size_t cut = pattern.find_last_of("/\\:");
  const std::string prefix = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    found.push_back(prefix + data.cFileName);
  } while (FindNextFileA(search, &data));
  FindClose(search);
  return found;
}

}  // namespace platform
