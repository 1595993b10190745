// Types a completion or shorthand text that may hold macro tokens:
//   date and time tokens ("%DATE%", "%TIME_24%", "%FULLWEEKNAME%", ...) are
//   replaced by the current local date or time, always written the English
//   way (month/day/two-digit year, English month and weekday names), whatever
//   the machine's locale;
//   key tokens ("%UP%", "%RETURN%", "%TAB%", ...) press a key;
//   "%CARET%" marks where the caret stands when typing ends.
// Tokens match whole and case-sensitively; anything else between '%' signs,
// and a lone '%', is literal text.
//
// Parse splits a text into `pieces`; TypeOut types them into the focused
// window, single-byte text key by key and text with double-byte characters
// through a clipboard paste. Neither can fail.
//
// Threading: the user-interface thread only.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Keyboard.h"

namespace output {

class ClipboardKeeper;

class MacroTyper {
 public:
  // Gives the current local time; asked once for every date or time token.
  using Clock = std::function<std::tm()>;
  static std::tm LocalTime();

  // Through the system's keyboard and clipboard, with the local time.
  MacroTyper();
  MacroTyper(platform::KeyboardOutput& keyboard, platform::Clipboard& clipboard,
             Clock clock = &MacroTyper::LocalTime);

  // Splits `text` into pieces: literal runs (possibly empty), values of date
  // and time tokens, and key tokens and "%CARET%" exactly as written. An
  // empty text changes nothing.
  void Parse(std::string text);
  // Types the pieces in order, then moves the caret back to the first
  // "%CARET%" with Left-arrow presses. `targetWindow` is handed to the
  // clipboard paste. Returns 1.
  int TypeOut(platform::WindowHandle targetWindow);
  // Pastes go through `keeper`, which puts the user's clipboard back later;
  // without one the clipboard keeps the last pasted piece.
  void SetClipboardKeeper(ClipboardKeeper* keeper) { m_keeper = keeper; }

  static constexpr int kTokenCount = 32;
  // The tokens, in table order, ended by an empty string.
  static const char* const kTokens[kTokenCount + 1];
  // Index of `candidate` in the token table, or -1.
  static int FindToken(std::string_view candidate);
  // The value of a date or time token at the clock's current time; empty for
  // anything else (an empty string, a key token, "%CARET%", no token).
  std::string ExpandToken(std::string_view token) const;
  // The value of date or time token `index` for the time `when`; empty for
  // other indexes. Fields of `when` out of their usual range are tolerated.
  static std::string FormatToken(int index, const std::tm& when);

  std::vector<std::string> pieces;

 private:
  platform::KeyboardOutput& m_keyboard;
  platform::Clipboard& m_clipboard;
  Clock m_clock;
  ClipboardKeeper* m_keeper = nullptr;
};

}  // namespace output
