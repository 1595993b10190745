// A wait window for the text exchanges that records what it is told and is
// cancelled after a number of pumps or of cancel tests (-1: never).
#pragma once

#include <string>
#include <vector>

#include "dict/WaitProgress.h"

namespace testutil {

class FakeWait : public WaitProgress {
 public:
  void SetText(const std::string& text) override { texts.push_back(text); }
  void PumpMessages() override {
    ++pumps;
    if (cancelAfterPumps >= 0 && pumps >= cancelAfterPumps) cancelled = true;
  }
  bool IsCancelled() const override {
    ++tests;
    if (cancelAfterTests >= 0 && tests >= cancelAfterTests) cancelled = true;
    return cancelled;
  }

  std::vector<std::string> texts;
  int pumps = 0;
  mutable int tests = 0;
  mutable bool cancelled = false;
  int cancelAfterPumps = -1;
  int cancelAfterTests = -1;
};

}  // namespace testutil
