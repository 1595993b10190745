#include "output/win32/CaretHook.h"

#include <oleacc.h>

namespace output::win32 {
namespace {

HWND ToHwnd(platform::WindowHandle w) { return reinterpret_cast<HWND>(w); }
platform::WindowHandle FromHwnd(HWND w) { return reinterpret_cast<platform::WindowHandle>(w); }

// The callback is a plain function; it reaches the one hook through this.
CaretEventHook* g_caretHook = nullptr;

// A property of an automation object by dispatch id; null on failure.
bool GetDispatchProperty(IDispatch* object, DISPID id, win::ComPtr<IDispatch>& out) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  win::Variant result;
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                              &result, nullptr, nullptr);
  if (FAILED(hr) || result.get().vt != VT_DISPATCH || !result.get().pdispVal) return false;
  // Take over the variant's reference.
  *out.put() = result.get().pdispVal;
  result.get().pdispVal->AddRef();
  return true;
}

}  // namespace

// ---- desktop queries -------------------------------------------------------------

platform::WindowHandle SystemCaretDesktop::ForegroundWindow() const { return FromHwnd(GetForegroundWindow()); }

bool SystemCaretDesktop::WindowRect(platform::WindowHandle window, output::ScreenRect& rect) const {
  RECT r;
  if (!window || !GetWindowRect(ToHwnd(window), &r)) return false;
  rect = output::ScreenRect{r.left, r.top, r.right, r.bottom};
  return true;
}

bool SystemCaretDesktop::IsPasswordEdit(platform::WindowHandle window) const {
  char name[16] = {};
  if (!window || !GetClassNameA(ToHwnd(window), name, sizeof name)) return false;
  if (lstrcmpiA(name, "Edit") != 0) return false;
  return (GetWindowLongPtrA(ToHwnd(window), GWL_STYLE) & ES_PASSWORD) != 0;
}

bool SystemCaretDesktop::GuiThreadCaret(platform::WindowHandle window, output::ScreenRect& caret) const {
  if (!window) return false;
  DWORD thread = GetWindowThreadProcessId(ToHwnd(window), nullptr);
  if (!thread) return false;
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread, &info) || info.hwndCaret != ToHwnd(window)) return false;
  RECT r = info.rcCaret;
  MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&r), 2);
  caret = output::ScreenRect{r.left, r.top, r.right, r.bottom};
  return true;
}

// ---- Word ------------------------------------------------------------------------

bool WordAutomation::GetWordCaretPos(output::ScreenPoint& point) {
  point = output::ScreenPoint{};
  CLSID word;
  if (FAILED(CLSIDFromProgID(L"Word.Application", &word))) return false;
  win::ComPtr<IUnknown> running;
  if (FAILED(GetActiveObject(word, nullptr, running.put())) || !running) return false;
  win::ComPtr<IDispatch> application;
  if (FAILED(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(application.put())))) return false;

  constexpr DISPID kActiveWindow = 4, kSelection = 4, kRange = 400, kGetPoint = 112;
  win::ComPtr<IDispatch> window, selection, range;
  if (!GetDispatchProperty(application.get(), kActiveWindow, window)) return false;
  if (!GetDispatchProperty(window.get(), kSelection, selection)) return false;
  if (!GetDispatchProperty(selection.get(), kRange, range)) return false;

  LONG left = 0, top = 0, width = 0, height = 0;
  // Arguments go in reverse order: the range first, then the four
  // by-reference integers from the last to the first.
  VARIANTARG args[5];
  for (VARIANTARG& a : args) VariantInit(&a);
  args[0].vt = VT_DISPATCH;
  args[0].pdispVal = range.get();
  args[1].vt = VT_BYREF | VT_I4;
  args[1].plVal = &height;
  args[2].vt = VT_BYREF | VT_I4;
  args[2].plVal = &width;
  args[3].vt = VT_BYREF | VT_I4;
  args[3].plVal = &top;
  args[4].vt = VT_BYREF | VT_I4;
  args[4].plVal = &left;
  DISPPARAMS params = {args, nullptr, 5, 0};
  win::Variant result;
  HRESULT hr = window->Invoke(kGetPoint, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                              &result, nullptr, nullptr);
  // The arguments are borrowed: nothing in them is released here.
  if (FAILED(hr)) return false;
  point = output::ScreenPoint{left, top + height};
  return true;
}

// ---- the WinEvent hook -------------------------------------------------------------

CaretEventHook::CaretEventHook(output::CaretTracker& tracker, HWND notifyWindow, UINT notifyMessage)
    : m_tracker(tracker), m_notifyWindow(notifyWindow), m_notifyMessage(notifyMessage) {
  g_caretHook = this;
}

CaretEventHook::~CaretEventHook() {
  Stop();
  if (g_caretHook == this) g_caretHook = nullptr;
}

bool CaretEventHook::Start() {
  Stop();
  m_hook.reset(SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &CaretEventHook::Callback, 0, 0,
                               WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
  return static_cast<bool>(m_hook);
}

void CaretEventHook::Stop() {
  m_hook.reset();
  m_waiting.clear();
}

void CALLBACK CaretEventHook::Callback(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId,
                                       LONG childId, DWORD, DWORD) {
  if (!g_caretHook) return;
  // The tracker acts only on focus events and on events of the caret; the
  // rest (pointer moves, name changes, ...) would only cost cross-process
  // calls.
  if (event != EVENT_OBJECT_FOCUS && objectId != OBJID_CARET) return;
  g_caretHook->Queue(Raw{event, window, objectId, childId});
}

void CaretEventHook::Queue(const Raw& raw) {
  // A burst of events from a runaway program is cut rather than kept.
  if (m_waiting.size() >= 4096) m_waiting.pop_front();
  m_waiting.push_back(raw);
  if (!m_posted && PostMessageA(m_notifyWindow, m_notifyMessage, 0, 0)) m_posted = true;
}

void CaretEventHook::Drain() {
  m_posted = false;
  if (m_draining) return;  // the outer call goes on with what arrives
  m_draining = true;
  while (!m_waiting.empty()) {
    Raw raw = m_waiting.front();
    m_waiting.pop_front();
    output::AccessibleEvent decoded;
    if (Decode(raw.window, raw.objectId, raw.childId, raw.event, decoded)) m_tracker.OnAccessibleEvent(decoded);
  }
  m_draining = false;
}

bool CaretEventHook::Decode(HWND window, LONG objectId, LONG childId, DWORD event,
                            output::AccessibleEvent& out) {
  win::ComPtr<IAccessible> object;
  win::Variant child;
  if (FAILED(AccessibleObjectFromEvent(window, objectId, childId, object.put(), &child)) || !object)
    return false;
  out = output::AccessibleEvent{};
  out.event = event;
  out.window = FromHwnd(window);
  out.objectId = objectId;
  out.childId = childId;
  if (objectId == OBJID_CARET) {
    LONG left = 0, top = 0, width = 0, height = 0;
    if (SUCCEEDED(object->accLocation(&left, &top, &width, &height, child.get()))) {
      out.locationOk = true;
      out.left = left;
      out.top = top;
      out.width = width;
      out.height = height;
    }
  }
  win::Variant role;
  if (SUCCEEDED(object->get_accRole(child.get(), &role)) && role.get().vt == VT_I4) {
    out.roleOk = true;
    out.role = static_cast<std::uint32_t>(role.get().lVal);
  }
  return true;
}

}  // namespace output::win32
