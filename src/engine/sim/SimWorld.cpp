#include "engine/sim/SimWorld.h"

namespace engine {

SimWorld::SimWorld() { processes.AddProcess(kNotepadProcess, "C:\\Windows\\notepad.exe"); }

SimWorld::~SimWorld() { main.reset(); }

WindowHandle SimWorld::AddNotepad() {
  WindowHandle top = desktop.AddWindow("Notepad", 0, 0, kNotepadProcess);
  desktop.SetWindowRect(top, {0, 0, 640, 480});
  return top;
}

WindowHandle SimWorld::AddEditBox(WindowHandle notepad, int controlId, bool password) {
  WindowHandle edit = desktop.AddWindow("Edit", controlId, notepad, kNotepadProcess);
  desktop.MakeTextBox(edit, password);
  desktop.SetWindowRect(edit, {10, 50, 630, 470});
  return edit;
}

void SimWorld::Start(WindowHandle focus) {
  main = std::make_unique<SimMainWindow>(desktop, keyboard, clipboard, config, dictSet, autoLearn);
  main->Start();
  desktop.SetFocus(focus);
  main->Pump();
}

}  // namespace engine
