#include "engine/sim/SimMainWindow.h"

#include <algorithm>
#include <filesystem>

#include "config/Config.h"
#include "output/SendKeystroke.h"
#include "platform/CodePage.h"

namespace engine {

namespace {


output::AccessibleEvent Decoded(const platform::sim::SimAccessibleEvent& e) {
  output::AccessibleEvent out;
  out.event = e.event;
  out.window = e.window;
  out.objectId = e.objectId;
  out.locationOk = e.locationOk;
  out.left = e.left;
  out.top = e.top;
  out.width = e.width;
  out.height = e.height;
  out.roleOk = e.roleOk;
  out.role = e.role;
  return out;
}

// The hotkey's name as Windows gives it for a US keyboard: the modifiers
// (high word: Shift 1, Ctrl 2, Alt 4) as Ctrl, Shift, Alt, each with "+",
// then the key.
std::string HotkeyName(std::uint32_t hotkey) {
  const unsigned vk = hotkey & 0xFF, modifiers = hotkey >> 16;
  std::string name;
  if (modifiers & 2) name += "Ctrl+";
  if (modifiers & 1) name += "Shift+";
  if (modifiers & 4) name += "Alt+";
  if (vk >= 0x70 && vk <= 0x87) name += "F" + std::to_string(vk - 0x6F);
  else if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) name += static_cast<char>(vk);
  else name += "#" + std::to_string(vk);
  return name;
}

}  // namespace

SimMainWindow::SimMainWindow(platform::sim::SimDesktop& desktop, platform::sim::SimKeyboard& keyboard,
                             platform::sim::SimClipboard& clipboard, CConfig& config,
                             CDictionarySet& dictSet, CAutoLearn& autoLearn)
    : m_desktop(desktop), m_keyboard(keyboard), m_clipboard(clipboard), m_config(config) {
  m_main = m_desktop.AddWindow("#32770", 0, 0, kOwnProcess);
  m_caret = std::make_unique<output::CaretTracker>(m_desktop, *this, config);
  m_engine = std::make_unique<CTypingEngine>(*this, *this, *this, *this, *this, config, dictSet, autoLearn);
  m_engine->ApplyOptions();
  m_desktop.SetEventSink([this](const platform::sim::SimAccessibleEvent& e) { OnDesktopEvent(e); });
}

SimMainWindow::~SimMainWindow() {
  m_keyboard.SetHook(nullptr);
  m_desktop.SetEventSink(nullptr);
}

void SimMainWindow::Start() {
  m_keyboard.SetHook([this](std::uintptr_t wParam, std::intptr_t lParam) {
    // The hook sends the key and waits for the answer.
    return static_cast<int>(m_engine->OnMessage(WM_HOOK_KEY, wParam, lParam));
  });
  m_hookOn = true;
  m_caret->SetOwner(this);
}

void SimMainWindow::ToggleEngine() {
  m_engine->ResetInput();
  if (m_hookOn) {
    m_keyboard.SetHook(nullptr);
    m_hookOn = false;
  } else {
    Start();
  }
  Hide();
  m_engine->SetSwitchedOff(!m_hookOn, HotkeyName(m_config.dwEnableHoam));
}

void SimMainWindow::OnDesktopEvent(const platform::sim::SimAccessibleEvent& e) {
  if (m_desktop.WindowProcessId(e.window) == kOwnProcess) return;
  Queued q;
  q.isEvent = true;
  q.event = e;
  m_queue.push_back(q);
}

void SimMainWindow::Pump() {
  // Handling one item may queue more; all of them run before time moves on.
  for (int guard = 0; !m_queue.empty() && guard < 100000; ++guard) {
    Queued q = m_queue.front();
    m_queue.pop_front();
    if (q.isEvent) m_caret->OnAccessibleEvent(Decoded(q.event));
    else m_engine->OnMessage(q.message, 0, 0);
  }
  m_now += millisecondsPerPump;
  std::vector<int> due;
  for (const auto& [id, at] : m_timers)
    if (at <= m_now) due.push_back(id);
  for (int id : due) m_engine->OnTimer(id);
  m_clipboardKeeper.Tick();
}

void SimMainWindow::PostToSelf(unsigned message) {
  Queued q;
  q.message = message;
  m_queue.push_back(q);
}

void SimMainWindow::SetTimer(int id, unsigned milliseconds) { m_timers[id] = m_now + milliseconds; }

void SimMainWindow::KillTimer(int id) { m_timers.erase(id); }

// ---- prompt ------------------------------------------------------------------

void SimMainWindow::ShowAt(Point point) {
  visible = true;
  position = point;
}

void SimMainWindow::Hide() {
  visible = false;
  previewShown = false;
}

void SimMainWindow::DeleteAllRows() {
  rows.clear();
  selected = -1;
}

bool SimMainWindow::InsertRow(int row, const std::string& text, int image, int itemData) {
  if (row < 0 || row > RowCount()) return false;
  rows.insert(rows.begin() + row, Row{text, image, itemData});
  return true;
}

void SimMainWindow::SelectRow(int row) { selected = row >= 0 && row < RowCount() ? row : -1; }

int SimMainWindow::RowItemData(int row) const {
  return row >= 0 && row < RowCount() ? rows[row].itemData : -1;
}

void SimMainWindow::Arrange(bool, int, int) {}

void SimMainWindow::SetPreview(const std::string& text, int style) {
  previewText = text;
  previewStyle = style;
  if (text.empty()) previewShown = false;
}

void SimMainWindow::PlacePreview() { previewShown = selected >= 0 && !previewText.empty(); }

// ---- caret and focus -----------------------------------------------------------

WindowHandle SimMainWindow::FocusWindow() const { return m_caret->focusWindow; }

bool SimMainWindow::IsTypingWindow() { return m_caret->IsTypingWindow(); }

PromptReason::Code SimMainWindow::NotTypingReason() const {
  switch (m_caret->refusal) {
    case output::CaretTracker::Refusal::kNoFocus: return PromptReason::Code::kNoWindow;
    case output::CaretTracker::Refusal::kPassword: return PromptReason::Code::kPassword;
    case output::CaretTracker::Refusal::kEditBoxRule: return PromptReason::Code::kEditBox;
    default: return PromptReason::Code::kNoCaret;
  }
}

Point SimMainWindow::GetCaretPoint() {
  output::ScreenPoint p = m_caret->GetCaretPoint();
  return Point{p.x, p.y};
}

void SimMainWindow::RepositionPrompt() { m_engine->RepositionPrompt(); }

void SimMainWindow::OnFocusLeft(WindowHandle window) { m_engine->OnFocusLeft(window); }

void SimMainWindow::OnFocusEntered(WindowHandle window) { m_engine->OnFocusEntered(window); }

bool SimMainWindow::WindowRect(WindowHandle window, output::ScreenRect& rect) const {
  platform::sim::SimRect r;
  if (!m_desktop.WindowRect(window, r)) return false;
  rect = output::ScreenRect{r.left, r.top, r.right, r.bottom};
  return true;
}

bool SimMainWindow::IsPasswordEdit(WindowHandle window) const { return m_desktop.IsPassword(window); }

bool SimMainWindow::GuiThreadCaret(WindowHandle window, output::ScreenRect& caret) const {
  platform::sim::SimRect r;
  if (window != m_desktop.Focus() || !m_desktop.CaretRect(window, r)) return false;
  caret = output::ScreenRect{r.left, r.top, r.right, r.bottom};
  return true;
}

// ---- desktop -------------------------------------------------------------------

WindowHandle SimMainWindow::ForegroundWindow() const { return m_desktop.Foreground(); }

void SimMainWindow::SetForegroundWindow(WindowHandle window) { m_desktop.SetForeground(window); }

bool SimMainWindow::IsWindowValid(WindowHandle window) const { return m_desktop.IsWindowValid(window); }

WindowHandle SimMainWindow::WindowParent(WindowHandle window) const {
  return m_desktop.WindowParent(window);
}

bool SimMainWindow::ForegroundHasIme() const { return m_desktop.ImeActive(); }

bool SimMainWindow::RunsWithHigherRights(WindowHandle window) const {
  return m_desktop.RunsWithHigherRights(window);
}

bool SimMainWindow::ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) {
  // "X:\a\b\*.*" -> driveRoot/a/b
  entries.clear();
  if (pattern.size() < 3 || pattern[1] != ':') return false;
  std::string rest = pattern.substr(2);
  size_t slash = rest.rfind('\\');
  rest = slash == std::string::npos ? std::string() : rest.substr(0, slash);
  std::replace(rest.begin(), rest.end(), '\\', '/');
  std::filesystem::path folder = std::filesystem::path(driveRoot) / std::filesystem::path(rest).relative_path();
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) return false;
  entries.push_back({".", 0x10});
  entries.push_back({"..", 0x10});
  std::vector<FolderEntry> found;
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    bool dir = it->is_directory(ec);
    std::string name = it->path().filename().string();
    auto extra = extraAttributes.find(name);
    uint32_t attributes = (dir ? 0x10u : 0x20u) | (extra == extraAttributes.end() ? 0u : extra->second);
    found.push_back({std::move(name), attributes});
  }
  // As NTFS lists them: by name, without regard to case.
  std::sort(found.begin(), found.end(), [](const FolderEntry& a, const FolderEntry& b) {
    return platform::AsciiCompareNoCase(a.name, b.name) < 0;
  });
  entries.insert(entries.end(), found.begin(), found.end());
  return true;
}

// ---- output --------------------------------------------------------------------

void SimMainWindow::Backspaces(int count) {
  for (int i = 0; i < count; ++i) output::SendKeystroke(m_keyboard, 0, output::kVkBack);
}

void SimMainWindow::TypeMacroText(const std::string& text, WindowHandle target) {
  output::MacroTyper typer(m_keyboard, m_clipboard, m_clock);
  typer.SetClipboardKeeper(&m_clipboardKeeper);
  typer.Parse(text);
  typer.TypeOut(target);
}

}  // namespace engine
