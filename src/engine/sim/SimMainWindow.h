// A main window without a screen: the typing engine wired to the simulated
// desktop, keyboard and clipboard, with the caret tracker fed by the desktop's
// accessibility events and a prompt that is a plain model (rows, selection,
// place, preview). The end-to-end tests and the terminal front end drive
// Quillet through it exactly as Windows drives the real main window: keys go
// through the keyboard hook, posted messages and accessibility events wait in
// one queue, and timers run on a simulated clock.
//
// Drive paths typed as text ("C:\dir\") are looked up under driveRoot, with
// backslashes standing for folder separators.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/TypingEngine.h"
#include "output/CaretTracker.h"
#include "output/ClipboardKeeper.h"
#include "output/MacroTyper.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimInput.h"

namespace engine {

class SimMainWindow final : public EngineHost,
                            public PromptView,
                            public CaretInfo,
                            public EngineDesktop,
                            public CompletionOutput,
                            public output::CaretOwner,
                            public output::CaretDesktop {
 public:
  // Our own process on the simulated desktop: events of its windows are
  // skipped, as the out-of-context hook skips our own process.
  static constexpr platform::ProcessId kOwnProcess = 1;

  SimMainWindow(platform::sim::SimDesktop& desktop, platform::sim::SimKeyboard& keyboard,
                platform::sim::SimClipboard& clipboard, CConfig& config, CDictionarySet& dictSet,
                CAutoLearn& autoLearn);
  ~SimMainWindow() override;

  // Installs the hook and starts following the caret (the end of start-up).
  void Start();
  // The toggle hotkey: removes the hook (the engine is off) or installs it
  // again, as the real main window does.
  void ToggleEngine();
  // Handles every queued message and accessibility event, then advances the
  // clock by millisecondsPerPump and runs the timers that are due.
  void Pump();
  unsigned millisecondsPerPump = 100;
  void SetClock(output::MacroTyper::Clock clock) { m_clock = std::move(clock); }

  CTypingEngine& Engine() { return *m_engine; }
  output::CaretTracker& Caret() { return *m_caret; }
  WindowHandle Handle() const { return m_main; }

  // ---- the prompt as a model ---------------------------------------------
  struct Row {
    std::string text;
    int image = 0;
    int itemData = 0;
  };
  std::vector<Row> rows;
  int selected = -1;
  bool visible = false;
  Point position;
  std::string previewText;
  int previewStyle = 0;
  bool previewShown = false;
  int beeps = 0;
  int reasonChanges = 0;
  std::string driveRoot = "/";
  // Attribute bits the folder search adds to an entry of that name (0x01
  // read-only, 0x02 hidden, 0x2000 not indexed...), as Windows reports them
  // for folders such as "Program Files".
  std::map<std::string, uint32_t> extraAttributes;

  // EngineHost
  void PostToSelf(unsigned message) override;
  void SetTimer(int id, unsigned milliseconds) override;
  void KillTimer(int id) override;
  void Beep() override { ++beeps; }
  WindowHandle MainWindow() const override { return m_main; }
  void ReasonChanged() override { ++reasonChanges; }

  // PromptView
  bool IsVisible() const override { return visible; }
  void ShowAt(Point point) override;
  void Hide() override;
  void DeleteAllRows() override;
  bool InsertRow(int row, const std::string& text, int image, int itemData) override;
  int RowCount() const override { return static_cast<int>(rows.size()); }
  int SelectedRow() const override { return selected; }
  void SelectRow(int row) override;
  int RowItemData(int row) const override;
  void Arrange(bool pathRows, int rowCount, int pageSize) override;
  void SetPreview(const std::string& text, int style) override;
  void PlacePreview() override;
  void HidePreview() override { previewShown = false; }

  // CaretInfo
  WindowHandle FocusWindow() const override;
  bool IsTypingWindow() override;
  Point GetCaretPoint() override;
  PromptReason::Code NotTypingReason() const override;

  // EngineDesktop (and CaretDesktop's foreground query)
  WindowHandle ForegroundWindow() const override;
  void SetForegroundWindow(WindowHandle window) override;
  bool IsWindowValid(WindowHandle window) const override;
  WindowHandle WindowParent(WindowHandle window) const override;
  bool ForegroundHasIme() const override;
  bool RunsWithHigherRights(WindowHandle window) const override;
  bool ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override;

  // CompletionOutput
  void Backspaces(int count) override;
  void TypeMacroText(const std::string& text, WindowHandle target) override;

  // CaretOwner
  void RepositionPrompt() override;
  void OnFocusLeft(WindowHandle window) override;
  void OnFocusEntered(WindowHandle window) override;

  // CaretDesktop
  bool WindowRect(WindowHandle window, output::ScreenRect& rect) const override;
  bool IsPasswordEdit(WindowHandle window) const override;
  bool GuiThreadCaret(WindowHandle window, output::ScreenRect& caret) const override;

 private:
  struct Queued {
    bool isEvent = false;
    unsigned message = 0;
    platform::sim::SimAccessibleEvent event;
  };
  void OnDesktopEvent(const platform::sim::SimAccessibleEvent& e);

  platform::sim::SimDesktop& m_desktop;
  platform::sim::SimKeyboard& m_keyboard;
  platform::sim::SimClipboard& m_clipboard;
  CConfig& m_config;
  WindowHandle m_main = 0;
  bool m_hookOn = false;
  std::deque<Queued> m_queue;
  std::map<int, unsigned long long> m_timers;  // id -> due time
  unsigned long long m_now = 0;
  output::MacroTyper::Clock m_clock = &output::MacroTyper::LocalTime;
  output::ClipboardKeeper m_clipboardKeeper{m_clipboard, m_keyboard, [this] { return m_now; }};
  std::unique_ptr<output::CaretTracker> m_caret;
  std::unique_ptr<CTypingEngine> m_engine;
};

}  // namespace engine
