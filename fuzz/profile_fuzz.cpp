// Feeds arbitrary bytes to the posix profile reader as a file, reads every
// section and key it finds back through the typed layer, and writes a value
// so that the parse-change-write path runs too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "config/IniFile.h"
#include "platform/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("quillet-profile-fuzz-" + std::to_string(getpid()) + ".ini")).string();
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  CIniFile ini(path.c_str());
  std::vector<std::string> sections;
  ini.GetSectionNames(sections);
  for (std::size_t i = 0; i < sections.size() && i < 64; ++i) {
    const char* s = sections[i].c_str();
    std::vector<std::string> keys;
    ini.GetKeyNames(s, keys);
    for (std::size_t k = 0; k < keys.size() && k < 64; ++k) {
      const char* key = keys[k].c_str();
      (void)ini.GetInt(s, key, 0, 16);
      (void)ini.GetBool(s, key, true);
      unsigned char block[16];
      (void)ini.GetDataBlock(s, key, block, sizeof block, 1);
      std::vector<std::string> parts;
      ini.GetArray(s, key, parts, ";");
    }
    char small[7];
    (void)platform::ProfileGetSection(s, small, sizeof small, path.c_str());
    (void)platform::ProfileGetString(s, nullptr, "\"d\"", small, sizeof small, path.c_str());
  }
  char names[5];
  (void)platform::ProfileGetSectionNames(names, sizeof names, path.c_str());
  if (!sections.empty()) ini.WriteString(sections[0].c_str(), "fuzz", " \"v\" ");
  ini.DeleteSection("Other_Apps");
  std::remove(path.c_str());
  return 0;
}
