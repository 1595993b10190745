// Why the engine prompts, or does not, in the window that has the focus: a
// small value (what decided, and what the text names) with its text from
// the string table (PromptReasonTexts.h). The engine keeps one up to date;
// the tray icon's tip and the terminal's status line show it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

struct PromptReason {
  enum class Code : std::uint8_t {
    kOn,            // keys are followed and the prompt may show
    kSwitchedOff,   // the toggle hotkey switched the engine off
    kAppRule,       // a rule switches the engine off in this application
    kOtherApps,     // off in applications that no rule names
    kEditBox,       // an edit-box rule switches it off here
    kPassword,      // a password box
    kNoWindow,      // the focus is in no typing window (a menu, nothing)
    kNoCaret,       // the focused window has shown no caret
    kIme,           // an input method is active
    kHigherRights,  // the window runs with higher rights than Quillet
  };

  Code code = Code::kOn;
  // What the text names: the toggle hotkey (kSwitchedOff) or the
  // executable's file name (kAppRule); empty for the others.
  std::string detail;

  bool operator==(const PromptReason&) const = default;

  // The string id of the text.
  unsigned StringId() const;
  // A text of the string table with the detail in place of its "%s".
  std::string Text(std::string_view format) const;
  // The text with the texts built in (the string table's own).
  std::string Text() const;
};

// The file name of an executable's path: what follows its last backslash or
// slash (a trail byte of a double-byte character is no separator).
std::string ExecutableName(std::string_view path);

// text cut to at most maxBytes bytes, never inside a double-byte character.
std::string CutText(std::string_view text, std::size_t maxBytes);

}  // namespace engine
