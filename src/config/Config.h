// The options store: every user option as a plain field named after its key
// in Config.ini, the per-dictionary enable flags, and the application rules
// of AppConfig.ini with the two decisions made from them (does the engine
// work in the process that owns a window; is an edit box listed).
//
// Files live beside the executable (strAppDir). Each load or save goes
// through a CIniFile made for the occasion; missing files and keys give the
// defaults, and failed writes are not reported (the in-memory value stays).
// Values are not range-checked: the option pages do that.
//
// Threading: the user-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Process.h"
#include "platform/Registry.h"

// One application rule (strPath set) or edit-box rule (strEditId set).
struct AppRule {
  std::string strSection;  // section in AppConfig.ini, "APP%d" when made here
  std::string strCaption;  // label for the dialogs
  std::string strPath;     // full path of the executable; empty for an edit-box rule
  std::string strEditId;   // window class "#" control id; empty for an application rule
  std::int32_t bWorkOn = 1;
  std::int32_t bDeleted = 0;  // removed by the user; its section goes at the next save

  bool operator==(const AppRule&) const = default;
};

class CConfig {
 public:
  // Uses the machine's desktop and processes.
  CConfig();
  CConfig(const platform::Desktop& desktop, platform::ProcessSource& processes);
  virtual ~CConfig();

  // The folder of an executable path: everything up to and with its last
  // path separator; a path without one stays as it is.
  static std::string AppDirOf(const std::string& exePath);
  std::string ConfigIniPath() const { return strAppDir + "Config.ini"; }
  std::string AppConfigIniPath() const { return strAppDir + "AppConfig.ini"; }

  // ---- options (Config.ini) -------------------------------------------------
  // LoadAppRules, LoadAutoLearn, LoadHotKeys, LoadOthers; returns 1.
  int LoadAll();
  // Each reads or writes every key of its section; 1, or 0 when memory runs
  // out part way (fields already read keep their new values).
  int LoadAutoLearn();
  int SaveAutoLearn();
  int LoadHotKeys();
  int SaveHotKeys();
  int LoadOthers();
  int SaveOthers();

  // Per-dictionary enable flags (section "DBS": "DB<n>" = path, "DB<n>-B" =
  // flag). Paths compare without regard to letter case; an unlisted path is
  // enabled.
  bool IsDictEnabled(const char* path) const;
  bool SetDictEnabled(const char* path, bool enabled);

  // ---- application rules (AppConfig.ini) --------------------------------------
  int LoadAppRules();
  int SaveAppRules();
  void RestoreAppRules();
  int AddAppRule(const AppRule& rule);
  int UpdateAppRule(const AppRule& rule);
  int DeleteAppRule(const char* section);
  std::string NewSectionName();
  std::string EditBoxId(platform::WindowHandle window) const;
  // Whether the engine works in the process that owns `window`; the answer
  // is cached for the last window asked about.
  bool IsWorkOnWindow(platform::WindowHandle window);
  // 1 when the window or its nearest listed ancestor is listed as enabled,
  // 0 when listed as disabled, -1 when neither it nor an ancestor is listed
  // (and for no window).
  int EditBoxRule(platform::WindowHandle window) const;

  // ---- fields, in the order of their keys -----------------------------------
  std::uint8_t vkSelectPrev = 0x26;
  std::uint8_t vkSelectNext = 0x28;
  std::uint8_t vkSelectIndex[10] = {0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79};
  std::uint8_t vkSelectPageDown = 0x22;
  std::uint8_t vkSelectPageUp = 0x21;
  std::uint8_t vkSelect[10] = {0x09, 0x0D, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  std::vector<AppRule> appRules;
  std::vector<AppRule> appRulesSaved;
  std::int32_t bOtherAppsWork = 1;
  std::int32_t bEnableAutolearn = 1;
  std::int32_t nMinLearnLength = 0;
  std::string strSeparate = kDefaultSeparators;
  std::int32_t bLearnKnownWords = 1;  // words the dictionaries hold are learned too
  std::uint32_t dwEnableHoam = 131188;  // Ctrl (2) << 16 | VK_F5
  std::int32_t bEnableWord = 1;
  std::int32_t bEnablePhrase = 1;
  std::int32_t bCommonFirst = 1;  // learned words by use, dictionary words by commonness
  std::int32_t bFixTypos = 1;     // words near a mistyped one are offered too
  std::int32_t bEnableShorthand = 1;
  std::int32_t bRunAtStartup = 1;  // kept in memory only
  std::int32_t nMinInput = 1;
  std::int32_t nMinWordLength = 1;
  std::int32_t nMaxWordLength = 500;
  std::int32_t nMaxItemShow = 5;
  std::string strAppDir;
  std::int32_t nLastDecision = 1;
  platform::WindowHandle hLastWindow = 0;
  // What the cached decision rests on: the executable's path, and whether a
  // rule named it (else bOtherAppsWork decided).
  std::string strLastPath;
  bool bLastByRule = false;

  static constexpr const char* kDefaultSeparators = "; ',.!\"?";

 private:
  const platform::Desktop* m_desktop;
  platform::ProcessSource* m_processes;
};

// The first-run flag: opens (creating it) HKLM "SOFTWARE\Quillet Pro\Option",
// reads "bFirstRun" (4 bytes) into `firstRun` and, when that is then not 0,
// writes it back as four zero bytes. Without the key `firstRun` keeps its
// value.
void UpdateFirstRunFlag(platform::Registry& registry, std::uint32_t& firstRun);
