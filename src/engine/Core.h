// The long-lived objects that the main window owns besides the engine: the
// options store, the loaded dictionaries and the AutoLearn engine, all read
// from the program's folder (Config.ini, AppConfig.ini, libs/*.lib and
// libs/AutoLearn.dic). The Windows main window and the terminal front end
// both start Quillet through it.
#pragma once

#include <string>

#include "config/Config.h"
#include "dict/DictionarySet.h"
#include "learn/AutoLearn.h"

namespace engine {

class QuilletCore {
 public:
  // appDir: the program's folder, ending in its path separator.
  QuilletCore(const platform::Desktop& desktop, platform::ProcessSource& processes, const std::string& appDir);
  QuilletCore(const QuilletCore&) = delete;
  QuilletCore& operator=(const QuilletCore&) = delete;

  // The libs folder (with a trailing separator) and its dictionary pattern.
  std::string LibsFolder() const;
  std::string DictionaryPattern() const { return LibsFolder() + "*.lib"; }

  // Creates the libs folder when missing and loads every enabled
  // dictionary in it; false when none loaded.
  bool LoadDictionaries();
  // Opens libs/AutoLearn.dic with the options; learned words that the
  // dictionaries hold exactly are not learned.
  bool OpenAutoLearn();

  CConfig config;
  CDictionarySet dictSet;
  CAutoLearn autoLearn;
};

}  // namespace engine
