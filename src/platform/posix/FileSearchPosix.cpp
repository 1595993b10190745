#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/FileSearch.h"

namespace platform {

std::vector<std::string> FindFiles(const std::string& pattern) {
  std::vector<std::string> found;
  // Patterns written for Windows use backslashes; accept both separators.
  const size_t cut = pattern.find_last_of("/\\");
  std::string prefix = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
  const std::string namePattern = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  if (namePattern.empty()) return found;
  std::string folder = prefix.empty() ? std::string(".") : prefix;
  std::replace(folder.begin(), folder.end(), '\\', '/');
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return found;
  std::vector<std::string> names;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (fnmatch(namePattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
    struct stat info;
    if (stat((folder + "/" + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int r = strcasecmp(a.c_str(), b.c_str());
    return r != 0 ? r < 0 : a < b;
  });
  for (const std::string& name : names) found.push_back(prefix + name);
  return found;
}

}  // namespace platform
