// Everything a Quillet session on the simulated desktop needs, for tests,
// benchmarks and fuzzing: the desktop, keyboard and clipboard, the options
// store, the dictionaries and learned words, and the main window once
// started. Load dictionaries and open the learning file before Start.
#pragma once

#include <memory>

#include "config/Config.h"
#include "dict/DictionarySet.h"
#include "engine/sim/SimMainWindow.h"
#include "learn/AutoLearn.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimInput.h"

namespace engine {

struct SimWorld {
  // The process that owns the Notepad-like windows.
  static constexpr platform::ProcessId kNotepadProcess = 100;

  SimWorld();
  virtual ~SimWorld();

  // A Notepad-like top-level window, and edit boxes inside one.
  WindowHandle AddNotepad();
  WindowHandle AddEditBox(WindowHandle notepad, int controlId = 15, bool password = false);
  // Creates and starts the main window, then gives `focus` the keyboard
  // focus and handles what that queued.
  void Start(WindowHandle focus);

  platform::sim::SimDesktop desktop;
  platform::sim::SimProcesses processes;
  platform::sim::SimClipboard clipboard;
  platform::sim::SimKeyboard keyboard{desktop, clipboard};
  CConfig config{desktop, processes};
  CDictionarySet dictSet;
  CAutoLearn autoLearn;
  std::unique_ptr<SimMainWindow> main;
};

}  // namespace engine
