#include "engine/Core.h"

#include <filesystem>

namespace engine {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// Start match, words and phrases: what the learning check asks for.
constexpr int32_t kLearnCheckFlags = 41;

}  // namespace

QuilletCore::QuilletCore(const platform::Desktop& desktop, platform::ProcessSource& processes,
                         const std::string& appDir)
    : config(desktop, processes),
      dictSet([this](const std::string& path) { return config.IsDictEnabled(path.c_str()); },
              [this](const std::string& path, bool on) { config.SetDictEnabled(path.c_str(), on); }) {
  config.strAppDir = appDir;
}

std::string QuilletCore::LibsFolder() const { return config.strAppDir + "libs" + kSeparator; }

bool QuilletCore::LoadDictionaries() {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(config.strAppDir + "libs"), ignored);
  dictSet.SetKeyLengthLimits(config.nMinWordLength, config.nMaxWordLength);
  const bool loaded = dictSet.LoadAll(DictionaryPattern().c_str(), false);
  if (loaded && config.bCommonFirst) dictSet.PrepareCommon();
  return loaded;
}

bool QuilletCore::OpenAutoLearn() {
  learn::AutoLearnOptions options;
  options.bEnableAutolearn = config.bEnableAutolearn != 0;
  options.nMinLearnLength = config.nMinLearnLength;
  options.strSeparate = config.strSeparate;
  options.bLearnKnownWords = config.bLearnKnownWords != 0;
  if (!autoLearn.Open(LibsFolder() + "AutoLearn.dic", options)) return false;
  autoLearn.SetDictionaryCheck([this](std::string_view word, std::string& key) {
    DictItem item;
    if (!dictSet.FindFirst(std::string(word).c_str(), item, kLearnCheckFlags, true)) return false;
    key.assign(item.Key());
    return true;
  });
  return true;
}

}  // namespace engine
