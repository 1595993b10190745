// Selects the ANSI code page for a test and restores the previous one when
// the object goes.
#pragma once

#include "platform/CodePage.h"

namespace testutil {

class CodePageScope {
 public:
  CodePageScope() : saved_(platform::AnsiCodePage()) {}
  explicit CodePageScope(int codePage) : CodePageScope() { ok_ = Use(codePage); }
  ~CodePageScope() { platform::SetAnsiCodePage(saved_); }
  CodePageScope(const CodePageScope&) = delete;
  CodePageScope& operator=(const CodePageScope&) = delete;

  // False (and the test should skip) when the code page cannot be selected.
  bool Use(int codePage) { return platform::SetAnsiCodePage(codePage); }
  bool ok() const { return ok_; }

 private:
  int saved_;
  bool ok_ = false;
};

}  // namespace testutil
