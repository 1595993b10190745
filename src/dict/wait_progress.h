// The wait window's side of a long import or export: the dictionaries' and
// the learned words' text exchange both report through it, so the Win32 wait
// window and the command-line tool can drive either.
#pragma once

#include <string>

class WaitProgress {
 public:
  virtual ~WaitProgress() = default;
  virtual void SetText(const std::string& text) = 0;
  // Lets the user interface handle what is waiting, without blocking.
  virtual void PumpMessages() = 0;
  virtual bool IsCancelled() const = 0;
};
