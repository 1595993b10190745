// Helpers shared by the dictionary tests: copies of the Metakit fixtures and
// building and searching small dictionaries.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/CodePage.h"
#include "common/Files.h"
#include "dict/Dictionary.h"

namespace dicttest {

namespace fs = std::filesystem;

using testutil::CodePageScope;
using testutil::FixturePath;
using testutil::ReadFile;
using testutil::ScratchDir;
using testutil::WriteFile;

// A copy of a fixture in the scratch folder (a test may change what it
// opens, so fixtures are never opened where they are).
inline std::string CopyFixture(const ScratchDir& dir, const std::string& name,
                               const std::string& as = std::string()) {
  const std::string target = dir.File(as.empty() ? name : as);
  WriteFile(target, ReadFile(FixturePath(name)));
  return target;
}

struct Entry {
  std::string key;
  std::string data;
};

// Creates (or extends) a dictionary file with these attributes and entries.
inline bool MakeDictionary(const std::string& path, int type, const std::vector<Entry>& entries,
                           const std::string& caption = std::string(), int scrambled = 0,
                           int keyCode = DICT_CODE_ANSI, int dataCode = DICT_CODE_ANSI) {
  CDictionary dictionary;
  if (!dictionary.Open(path.c_str())) return false;
  dictionary.SetType(type);
  dictionary.SetScrambled(scrambled);
  dictionary.SetKeyCode(keyCode);
  dictionary.SetDataCode(dataCode);
  dictionary.SetCaption(caption.data(), static_cast<int>(caption.size()));
  bool ok = dictionary.SaveInfo();
  for (const Entry& entry : entries) ok = dictionary.AddItem(DictItem(entry.key, entry.data), true) && ok;
  dictionary.Close();
  return ok;
}

// Every key a search returns, in order.
inline std::vector<std::string> Keys(CDictionary& dictionary, const char* text, int flags) {
  std::vector<std::string> keys;
  DictItem item;
  for (bool found = dictionary.FindFirst(text, item, flags); found; found = dictionary.FindNext(item))
    keys.emplace_back(item.Key());
  return keys;
}

}  // namespace dicttest
