#include "config/Config.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>

#include "config/IniFile.h"
#include "config/ProcessEnum.h"

namespace {

constexpr char kAutoLearn[] = "AutoLearn";
constexpr char kHotKeys[] = "HotKeys";
constexpr char kOthers[] = "Others";
constexpr char kDbs[] = "DBS";
constexpr char kOtherApps[] = "Other_Apps";
constexpr char kWorkOn[] = "WORK_ON_QL";
constexpr std::size_t kMaxPath = 260;
// Deeper parent chains than this do not occur on a real desktop; the limit
// only guards against a broken one.
constexpr int kMaxAncestors = 256;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Reads a hex-encoded byte key into the leading bytes of a field; a missing
// or malformed key leaves the field as it is.
template <std::size_t N>
void LoadBytes(const CIniFile& ini, const char* key, std::uint8_t (&field)[N]) {
  ini.GetDataBlock(kHotKeys, key, field, N);
}

void LoadByte(const CIniFile& ini, const char* key, std::uint8_t& field) {
  ini.GetDataBlock(kHotKeys, key, &field, 1);
}

}  // namespace

CConfig::CConfig() : CConfig(platform::SystemDesktop(), platform::SystemProcesses()) {}

CConfig::CConfig(const platform::Desktop& desktop, platform::ProcessSource& processes)
    : m_desktop(&desktop), m_processes(&processes) {
  std::string exe = platform::CurrentExecutablePath();
  if (exe.size() > kMaxPath) exe.resize(kMaxPath);
  strAppDir = AppDirOf(exe);
}

CConfig::~CConfig() = default;

std::string CConfig::AppDirOf(const std::string& exePath) {
  std::size_t slash = exePath.find_last_of("\\/");
  return slash == std::string::npos ? exePath : exePath.substr(0, slash + 1);
}

// ---- options -----------------------------------------------------------------

int CConfig::LoadAll() {
  LoadAppRules();
  LoadAutoLearn();
  LoadHotKeys();
  LoadOthers();
  return 1;
}

int CConfig::LoadAutoLearn() try {
  CIniFile ini(ConfigIniPath().c_str());
  // The key's spelling is what users' files have always had.
  bEnableAutolearn = ini.GetBool(kAutoLearn, "bEanbleAutolearn", true) ? 1 : 0;
  nMinLearnLength = ini.GetInt(kAutoLearn, "nMinLearnLength", 0);
  strSeparate = ini.GetString(kAutoLearn, "strSeparate", kDefaultSeparators);
  bLearnKnownWords = ini.GetBool(kAutoLearn, "bLearnKnownWords", true) ? 1 : 0;
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

int CConfig::SaveAutoLearn() try {
  CIniFile ini(ConfigIniPath().c_str());
  ini.WriteBool(kAutoLearn, "bEanbleAutolearn", bEnableAutolearn != 0);
  ini.WriteInt(kAutoLearn, "nMinLearnLength", nMinLearnLength);
  ini.WriteString(kAutoLearn, "strSeparate", strSeparate.c_str());
  ini.WriteBool(kAutoLearn, "bLearnKnownWords", bLearnKnownWords != 0);
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

int CConfig::LoadHotKeys() try {
  CIniFile ini(ConfigIniPath().c_str());
  LoadBytes(ini, "vkSelectIndex", vkSelectIndex);
  LoadByte(ini, "vkSelectPrev", vkSelectPrev);
  LoadByte(ini, "vkSelectNext", vkSelectNext);
  LoadByte(ini, "vkSelectPageDown", vkSelectPageDown);
  LoadByte(ini, "vkSelectPageUp", vkSelectPageUp);
  LoadBytes(ini, "vkSelect", vkSelect);
  dwEnableHoam = ini.GetUInt(kHotKeys, "dwEnableHoam", 131188);
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

int CConfig::SaveHotKeys() try {
  CIniFile ini(ConfigIniPath().c_str());
  ini.WriteDataBlock(kHotKeys, "vkSelectIndex", vkSelectIndex, sizeof vkSelectIndex);
  ini.WriteDataBlock(kHotKeys, "vkSelectPrev", &vkSelectPrev, 1);
  ini.WriteDataBlock(kHotKeys, "vkSelectNext", &vkSelectNext, 1);
  ini.WriteDataBlock(kHotKeys, "vkSelectPageDown", &vkSelectPageDown, 1);
  ini.WriteDataBlock(kHotKeys, "vkSelectPageUp", &vkSelectPageUp, 1);
  ini.WriteDataBlock(kHotKeys, "vkSelect", vkSelect, sizeof vkSelect);
  ini.WriteUInt(kHotKeys, "dwEnableHoam", dwEnableHoam);
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

int CConfig::LoadOthers() try {
  CIniFile ini(ConfigIniPath().c_str());
  bEnableShorthand = ini.GetBool(kOthers, "bEnableShorthand", true) ? 1 : 0;
  bEnableWord = ini.GetBool(kOthers, "bEnableWord", true) ? 1 : 0;
  bEnablePhrase = ini.GetBool(kOthers, "bEnablePhrase", true) ? 1 : 0;
  nMinInput = ini.GetInt(kOthers, "nMinInput", 1);
  nMinWordLength = ini.GetInt(kOthers, "nMinWordLength", 1);
  nMaxWordLength = ini.GetInt(kOthers, "nMaxWordLength", 500);
  nMaxItemShow = ini.GetInt(kOthers, "nMaxItemShow", 5);
  bCommonFirst = ini.GetBool(kOthers, "bCommonFirst", true) ? 1 : 0;
  bFixTypos = ini.GetBool(kOthers, "bFixTypos", true) ? 1 : 0;
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

int CConfig::SaveOthers() try {
  CIniFile ini(ConfigIniPath().c_str());
  ini.WriteBool(kOthers, "bEnableShorthand", bEnableShorthand != 0);
  ini.WriteBool(kOthers, "bEnableWord", bEnableWord != 0);
  ini.WriteBool(kOthers, "bEnablePhrase", bEnablePhrase != 0);
  ini.WriteInt(kOthers, "nMinInput", nMinInput);
  ini.WriteInt(kOthers, "nMinWordLength", nMinWordLength);
  ini.WriteInt(kOthers, "nMaxWordLength", nMaxWordLength);
  ini.WriteInt(kOthers, "nMaxItemShow", nMaxItemShow);
  ini.WriteBool(kOthers, "bCommonFirst", bCommonFirst != 0);
  ini.WriteBool(kOthers, "bFixTypos", bFixTypos != 0);
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

// ---- dictionary flags ----------------------------------------------------------

bool CConfig::IsDictEnabled(const char* path) const {
  if (!path || !*path) return true;
  CIniFile ini(ConfigIniPath().c_str());
  std::vector<std::string> keys;
  ini.GetKeyNames(kDbs, keys);
  for (const std::string& key : keys) {
    if (EqualNoCase(ini.GetString(kDbs, key.c_str()), path))
      return ini.GetBool(kDbs, (key + "-B").c_str(), true);
  }
  return true;
}

bool CConfig::SetDictEnabled(const char* path, bool enabled) {
  if (!path || !*path) return false;
  CIniFile ini(ConfigIniPath().c_str());
  std::vector<std::string> keys;
  ini.GetKeyNames(kDbs, keys);
  for (const std::string& key : keys) {
    if (EqualNoCase(ini.GetString(kDbs, key.c_str()), path)) {
      ini.WriteBool(kDbs, (key + "-B").c_str(), enabled);
      return true;
    }
  }
  for (int n = 1;; ++n) {
    char key[32];
    std::snprintf(key, sizeof key, "DB%d", n);
    if (ini.IsKeyExist(kDbs, key)) continue;
    ini.WriteString(kDbs, key, path);
    ini.WriteBool(kDbs, (std::string(key) + "-B").c_str(), enabled);
    return true;
  }
}

// ---- application rules ---------------------------------------------------------

int CConfig::LoadAppRules() {
  CIniFile ini(AppConfigIniPath().c_str());
  std::vector<std::string> sections;
  ini.GetSectionNames(sections);
  appRules.clear();
  bOtherAppsWork = 1;
  for (const std::string& section : sections) {
    const char* name = section.c_str();
    if (EqualNoCase(section, kOtherApps)) {
      bOtherAppsWork = ini.GetBool(name, kWorkOn, true) ? 1 : 0;
      continue;
    }
    AppRule rule;
    rule.strSection = section;
    rule.strCaption = ini.GetString(name, "CAPTION");
    rule.strPath = ini.GetString(name, "PATH");
    rule.strEditId = ini.GetString(name, "EDIT_ID");
    rule.bWorkOn = ini.GetBool(name, kWorkOn, true) ? 1 : 0;
    appRules.push_back(std::move(rule));
  }
  appRulesSaved = appRules;
  return 1;
}

int CConfig::SaveAppRules() try {
  CIniFile ini(AppConfigIniPath().c_str());
  ini.WriteBool(kOtherApps, kWorkOn, bOtherAppsWork != 0);
  for (const AppRule& rule : appRules) {
    const char* name = rule.strSection.c_str();
    if (rule.bDeleted) {
      ini.DeleteSection(name);
      continue;
    }
    ini.WriteString(name, "CAPTION", rule.strCaption.c_str());
    ini.WriteString(name, "PATH", rule.strPath.c_str());
    ini.WriteString(name, "EDIT_ID", rule.strEditId.c_str());
    ini.WriteBool(name, kWorkOn, rule.bWorkOn != 0);
  }
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

void CConfig::RestoreAppRules() { appRules = appRulesSaved; }

int CConfig::AddAppRule(const AppRule& rule) {
  if (rule.strPath.empty() && rule.strEditId.empty()) return -1;
  AppRule added = rule;
  if (added.strSection.empty()) added.strSection = NewSectionName();
  appRules.push_back(std::move(added));
  return int(appRules.size()) - 1;
}

int CConfig::UpdateAppRule(const AppRule& rule) {
  for (auto it = appRules.begin(); it != appRules.end(); ++it) {
    if (it->strSection == rule.strSection) {
      appRules.erase(it);
      appRules.push_back(rule);
      return 1;
    }
  }
  return 0;
}

int CConfig::DeleteAppRule(const char* section) {
  if (!section) return 0;
  for (auto it = appRules.begin(); it != appRules.end(); ++it) {
    if (it->strSection == section) {
      AppRule rule = std::move(*it);
      rule.bDeleted = 1;
      appRules.erase(it);
      appRules.push_back(std::move(rule));
      return 1;
    }
  }
  return 0;
}

std::string CConfig::NewSectionName() {
  if (appRules.empty()) LoadAppRules();
  long largest = 0;
  for (const AppRule& rule : appRules) {
    if (rule.strSection.size() <= 3) continue;
    long n = std::strtol(rule.strSection.c_str() + 3, nullptr, 10);
    if (n > largest) largest = n;
  }
  char name[32];
  std::snprintf(name, sizeof name, "APP%ld", largest + 1);
  return name;
}

std::string CConfig::EditBoxId(platform::WindowHandle window) const {
  if (!window || !m_desktop->IsWindowValid(window)) return {};
  std::string id = m_desktop->WindowClassName(window).substr(0, 255);
  char number[16];
  std::snprintf(number, sizeof number, "#%d", m_desktop->WindowControlId(window));
  return id + number;
}

bool CConfig::IsWorkOnWindow(platform::WindowHandle window) {
  if (window == hLastWindow) return nLastDecision != 0;
  hLastWindow = window;
  char path[kMaxPath] = {};
  CProcessEnum processes(*m_processes, *m_desktop);
  if (processes.GetProcessPathFromWindow(window, path) == 0) return nLastDecision != 0;
  nLastDecision = bOtherAppsWork;
  std::string exe = path;
  bLastByRule = false;
  for (const AppRule& rule : appRules) {
    if (EqualNoCase(rule.strPath, exe)) {
      nLastDecision = rule.bWorkOn;
      bLastByRule = true;
      break;
    }
  }
  strLastPath = std::move(exe);
  return nLastDecision != 0;
}

int CConfig::EditBoxRule(platform::WindowHandle window) const {
  platform::WindowHandle w = window;
  for (int depth = 0; w && depth < kMaxAncestors && m_desktop->IsWindowValid(w); ++depth) {
    std::string id = EditBoxId(w);
    for (const AppRule& rule : appRules) {
      if (EqualNoCase(rule.strEditId, id)) return rule.bWorkOn ? 1 : 0;
    }
    w = m_desktop->WindowParent(w);
  }
  return -1;
}

// ---- first run -------------------------------------------------------------------

void UpdateFirstRunFlag(platform::Registry& registry, std::uint32_t& firstRun) {
  auto key = registry.CreateKey(platform::RegistryRoot::LocalMachine, "SOFTWARE\\Quillet Pro\\Option");
  if (!key) return;
  std::uint32_t size = sizeof firstRun;
  key->QueryValue("bFirstRun", &firstRun, &size);
  if (firstRun != 0) {
    const std::uint8_t zero[4] = {0, 0, 0, 0};
    key->SetBinaryValue("bFirstRun", zero, sizeof zero);
  }
}
