// The wait window's side of a long import or export: the dictionaries' and
// the learned words' text exchange both report through it, so the Win32 wait
// window and the command-line tool can drive either.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WaitProgress {
 public:
  virtual ~WaitProgress() = default;
  virtual void SetText(const std::string& text) = 0;
  // Lets the user interface handle what is waiting, without blocking.
  virtual void PumpMessages() = 0;
  virtual bool IsCancelled() const = 0;
};

// The wait window's count line: `format` with one %d.
inline std::string WaitCountText(const char* format, std::int32_t count) {
  char text[96];
  std::snprintf(text, sizeof text, format, static_cast<int>(count));
  return text;
}

// The texts of the count lines (strings 155 and 156 of the program).
inline constexpr const char* kImportedSoFar = "%d items have been imported!";
inline constexpr const char* kExportedSoFar = "%d items have been exported!";
