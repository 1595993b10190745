// Hoam.dll: the keyboard hook. A low-level keyboard hook hands every key
// event to the main window as WM_HOOK_KEY and swallows the key when the
// window answers 0.
//
// Entry points (by ordinal only, see hoam.def):
//   1  HoamInstall(window)  install the hook for `window`; when it is already
//                           installed, only the window changes
//   2  HoamRemove()         remove the hook
//   10 HoamPromptClicked()  the user clicked the prompt: a dead key typed
//                           before belongs to the text being replaced, so it
//                           is forgotten
//
// A low-level hook runs on the thread that installed it, between that
// thread's messages; the main window lives on the same thread, so the
// SendMessage below is a direct call that cannot wait on anyone. The hook
// procedure does no I/O and allocates nothing.
#include <windows.h>

#include "HoamStats.h"

namespace {

constexpr UINT kWmHookKey = WM_USER + 1003;
// Every key event Quillet synthesizes carries this scan code.
constexpr DWORD kSyntheticScanCode = 0xEE;
// ...and every Unicode event (whose scan code is its character) this extra
// information.
constexpr ULONG_PTR kSyntheticExtraInfo = 0x51554C4C;

HINSTANCE g_instance = nullptr;
HHOOK g_hook = nullptr;
HWND g_window = nullptr;
HANDLE g_statsMapping = nullptr;
hoam::Stats* g_stats = nullptr;

// The dead key the user typed last, not yet combined with a character. We
// translate keys on our own thread, so the target application's own
// dead-key state is never touched; ours is kept empty between events and
// the dead key is replayed just before the next key is translated.
struct DeadKey {
  bool pending = false;
  UINT vk = 0;
  UINT scan = 0;
  BYTE shift = 0, control = 0, menu = 0;
} g_dead;

bool IsModifier(DWORD vk) {
  switch (vk) {
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT:
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
    case VK_MENU: case VK_LMENU: case VK_RMENU:
    case VK_LWIN: case VK_RWIN: case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
      return true;
    default:
      return false;
  }
}

BYTE Down(int vk) { return (GetAsyncKeyState(vk) & 0x8000) ? 0x80 : 0; }

void FillState(BYTE (&state)[256], BYTE shift, BYTE control, BYTE menu) {
  state[VK_SHIFT] = shift;
  state[VK_CONTROL] = control;
  state[VK_MENU] = menu;
  state[VK_CAPITAL] = static_cast<BYTE>(GetKeyState(VK_CAPITAL) & 1);
}

// Clears a dead key left in our own thread's state: a dead key followed by
// a blank gives the accent itself and leaves nothing behind.
void FlushDeadState(HKL layout) {
  BYTE state[256] = {};
  WORD out = 0;
  ToAsciiEx(VK_SPACE, MapVirtualKeyExA(VK_SPACE, MAPVK_VK_TO_VSC, layout), state, &out, 0, layout);
}

// The character bytes a key press gives in the foreground thread's layout
// (low byte the first, high byte the second; 0 for none).
WPARAM DecodeText(const KBDLLHOOKSTRUCT& key) {
  if (IsModifier(key.vkCode)) return 0;
  DWORD thread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  HKL layout = GetKeyboardLayout(thread);

  BYTE state[256] = {};
  BYTE shift = Down(VK_SHIFT), control = Down(VK_CONTROL), menu = Down(VK_MENU);
  WORD out = 0;
  if (g_dead.pending) {
    BYTE deadState[256] = {};
    FillState(deadState, g_dead.shift, g_dead.control, g_dead.menu);
    ToAsciiEx(g_dead.vk, g_dead.scan, deadState, &out, 0, layout);
  }
  FillState(state, shift, control, menu);
  out = 0;
  int n = ToAsciiEx(key.vkCode, key.scanCode, state, &out, 0, layout);
  if (n < 0) {
    // A dead key: remember it and leave our state empty again.
    g_dead = DeadKey{true, key.vkCode, key.scanCode, shift, control, menu};
    FlushDeadState(layout);
    return 0;
  }
  if (n == 0) {
    // A key without a character (an arrow, F5): the dead key stays pending
    // in the application, and must not stay in our state.
    if (g_dead.pending) FlushDeadState(layout);
    return 0;
  }
  g_dead.pending = false;
  return n == 1 ? (out & 0xFF) : out;
}

void Record(const LARGE_INTEGER& start, bool skipped, const KBDLLHOOKSTRUCT& key, bool up, bool kept = false) {
  if (!g_stats) return;
  LARGE_INTEGER end;
  QueryPerformanceCounter(&end);
  std::int64_t ticks = end.QuadPart - start.QuadPart;
  if (ticks * 1000 > g_stats->frequency) ++g_stats->slowEvents;
  if (ticks > g_stats->maxTicks) {
    g_stats->maxTicks = ticks;
    g_stats->slowestKey = (key.vkCode & 0xFF) | (up ? 0x100 : 0);
  }
  if (skipped) {
    ++g_stats->skipped;
  } else {
    ++g_stats->events;
    g_stats->totalTicks += ticks;
    g_stats->recent[g_stats->recentCount++ % hoam::Stats::kRecent] =
        static_cast<std::int32_t>((key.vkCode & 0xFF) | (up ? 0x100 : 0) | (kept ? 0x200 : 0));
    g_stats->lastKeyTicks = start.QuadPart;
  }
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code != HC_ACTION || !g_window) return CallNextHookEx(g_hook, code, wParam, lParam);
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  const KBDLLHOOKSTRUCT& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
  if (key.scanCode == kSyntheticScanCode || key.dwExtraInfo == kSyntheticExtraInfo) {
    Record(start, true, key, up);
    return CallNextHookEx(g_hook, code, wParam, lParam);
  }
  const WPARAM text = up ? 0 : DecodeText(key);
  const LPARAM info = static_cast<LPARAM>((key.vkCode & 0xFF) << 8) | (up ? 1 : 0);
  const LRESULT answer = SendMessageA(g_window, kWmHookKey, text, info);
  Record(start, false, key, up, answer == 0);
  if (answer == 0) return 1;  // the key belongs to the prompt
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

void OpenStats() {
  if (g_stats) return;
  g_statsMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(hoam::Stats), hoam::kStatsName);
  if (!g_statsMapping) return;
  g_stats = static_cast<hoam::Stats*>(
      MapViewOfFile(g_statsMapping, FILE_MAP_WRITE, 0, 0, sizeof(hoam::Stats)));
  if (!g_stats) return;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  g_stats->frequency = frequency.QuadPart;
}

void CloseStats() {
  if (g_stats) UnmapViewOfFile(g_stats);
  if (g_statsMapping) CloseHandle(g_statsMapping);
  g_stats = nullptr;
  g_statsMapping = nullptr;
}

}  // namespace

extern "C" {

void HoamInstall(HWND window) {
  g_window = window;
  if (g_hook) return;
  OpenStats();
  g_hook = SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardProc, g_instance, 0);
}

void HoamRemove() {
  if (g_hook) UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  g_window = nullptr;
  g_dead.pending = false;
}

void HoamPromptClicked() { g_dead.pending = false; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    HoamRemove();
    CloseStats();
  }
  return TRUE;
}

}  // extern "C"
