// A simulated desktop for tests and the terminal front end: windows with a
// class, a control identifier, a parent, an owning process and a place on the
// screen; keyboard focus and a foreground window; text boxes that apply the
// key events they receive (see SimInput.h) and report their caret;
// processes with executable paths; and an in-memory registry. Each behaves
// like the system interface it stands for and can be inspected (how often
// processes were listed, what a key holds, which events were sent).
// Not thread-safe: one thread owns each object.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Process.h"
#include "platform/Registry.h"

namespace platform::sim {

// An accessibility event as the system's accessibility layer decodes it:
// the event, its window and object, and the object's answers.
struct SimAccessibleEvent {
  std::uint32_t event = 0;     // EVENT_OBJECT_FOCUS 0x8005, ..._LOCATIONCHANGE 0x800B, ...
  WindowHandle window = 0;
  std::int32_t objectId = 0;   // OBJID_CARET -8, OBJID_CLIENT -4
  bool locationOk = false;
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  bool roleOk = false;
  std::uint32_t role = 0;      // ROLE_SYSTEM_TEXT 42, menu item 12, ...
};

struct SimRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class SimDesktop final : public Desktop {
 public:
  // Adds a window and returns its handle (never 0).
  WindowHandle AddWindow(const std::string& className, int controlId = 0,
                         WindowHandle parent = 0, ProcessId process = 0);
  // Destroys a window; its handle stops being a window. Children keep their
  // (now invalid) parent handle, as they would for a moment on Windows.
  void DestroyWindow(WindowHandle window);

  bool IsWindowValid(WindowHandle window) const override;
  std::string WindowClassName(WindowHandle window) const override;
  int WindowControlId(WindowHandle window) const override;
  WindowHandle WindowParent(WindowHandle window) const override;
  ProcessId WindowProcessId(WindowHandle window) const override;

  // ---- screen, focus and foreground ---------------------------------------
  void SetWindowRect(WindowHandle window, const SimRect& rect);
  bool WindowRect(WindowHandle window, SimRect& rect) const;
  // The outermost window above `window` (itself without a parent).
  WindowHandle TopLevelOf(WindowHandle window) const;
  WindowHandle Foreground() const { return foreground_; }
  WindowHandle Focus() const { return focus_; }
  // Gives `window` the keyboard focus; its top-level window becomes the
  // foreground window. Sends the focus event (and the caret's events for a
  // text box). 0 takes the focus away.
  void SetFocus(WindowHandle window);
  // Brings a top-level window to the foreground; the focus returns to the
  // control of it that had it last (or to the window itself).
  void SetForeground(WindowHandle window);
  // The focus moves into a menu: a focus event whose object has a menu role.
  void FocusMenu(WindowHandle menuWindow, std::uint32_t role = 12);
  // Whether the foreground thread's keyboard layout is an input method.
  void SetImeActive(bool active) { imeActive_ = active; }
  bool ImeActive() const { return imeActive_; }
  // A process that runs with higher rights than ours (as administrator).
  void SetHigherRights(ProcessId process, bool higher);
  bool RunsWithHigherRights(WindowHandle window) const;

  // ---- text boxes ----------------------------------------------------------
  // Makes a window an edit box; a password box hides what is typed.
  void MakeTextBox(WindowHandle window, bool password = false);
  bool IsTextBox(WindowHandle window) const;
  bool IsPassword(WindowHandle window) const;
  std::string Text(WindowHandle window) const;
  // The caret as a byte offset into the text.
  size_t CaretPos(WindowHandle window) const;
  void SetText(WindowHandle window, const std::string& text);
  // The caret rectangle on the screen: 8 pixels a character, 16 a line,
  // from the box's top-left corner.
  bool CaretRect(WindowHandle window, SimRect& rect) const;
  // Edits the focused text box as a key press would (US layout text already
  // decoded by the keyboard): false when no text box has the focus.
  bool InsertText(const std::string& text);
  // Ctrl+V inserts what `paste` reads from the clipboard.
  bool ApplyKey(std::uint8_t virtualKey, bool ctrl, const std::function<std::string()>& paste);

  // ---- accessibility events -------------------------------------------------
  using EventSink = std::function<void(const SimAccessibleEvent&)>;
  void SetEventSink(EventSink sink) { sink_ = std::move(sink); }
  // Windows under Wine send no caret events; this switch simulates that.
  void SetCaretEvents(bool on) { caretEvents_ = on; }

 private:
  struct Window {
    std::string className;
    int controlId = 0;
    WindowHandle parent = 0;
    ProcessId process = 0;
    SimRect rect;
    bool textBox = false;
    bool password = false;
    std::string text;
    size_t caret = 0;
    WindowHandle lastFocus = 0;  // top-level windows: the control to refocus
  };
  Window* Find(WindowHandle window);
  const Window* Find(WindowHandle window) const;
  void Send(const SimAccessibleEvent& e) const;
  void SendCaret(WindowHandle window, std::uint32_t event) const;

  std::map<WindowHandle, Window> windows_;
  WindowHandle next_ = 0x10010;
  WindowHandle focus_ = 0;
  WindowHandle foreground_ = 0;
  bool imeActive_ = false;
  std::vector<ProcessId> higherRights_;
  bool caretEvents_ = true;
  EventSink sink_;
};

class SimProcesses final : public ProcessSource {
 public:
  void AddProcess(ProcessId id, const std::string& path);
  void RemoveProcess(ProcessId id);
  // While failing, ListProcesses returns false with an empty list, as when
  // the process-status functions cannot be loaded.
  void SetFailing(bool failing) { failing_ = failing; }

  bool ListProcesses(std::vector<ProcessInfo>& out) override;
  int listCount() const { return listCount_; }

 private:
  std::vector<ProcessInfo> processes_;
  bool failing_ = false;
  int listCount_ = 0;
};

class SimRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path) override;

  // While unavailable every CreateKey fails.
  void SetUnavailable(bool unavailable) { unavailable_ = unavailable; }
  bool HasKey(RegistryRoot root, const std::string& path) const;
  // The bytes of a value; false when the key or value is absent.
  bool Value(RegistryRoot root, const std::string& path, const std::string& name,
             std::vector<std::uint8_t>& bytes) const;
  void SetValue(RegistryRoot root, const std::string& path, const std::string& name,
                const std::vector<std::uint8_t>& bytes);
  int writeCount() const { return writeCount_; }

 private:
  friend class SimRegistryKey;
  using Values = std::map<std::string, std::vector<std::uint8_t>>;
  static std::string KeyName(RegistryRoot root, const std::string& path);
  std::map<std::string, Values> keys_;
  bool unavailable_ = false;
  int writeCount_ = 0;
};

}  // namespace platform::sim
