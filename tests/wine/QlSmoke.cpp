// qlsmoke: the smoke test's hands and eyes inside Wine. One command per run:
//   wait-text PATTERN MS             wait until notepad's text, with a | at its caret, matches
//                                    PATTERN (* for any characters)
//   wait-prompt visible|hidden|drawn MS  wait for the prompt to be shown, hidden, or
//                                    shown with its selected first row painted
//   wait-rows ROW|ROW|... MS         wait for the prompt to show exactly these rows
//   focus-notepad                    bring notepad to the foreground
//   wait-ready MS                    wait until Quillet follows notepad's typing
//   prompt-rows                      per row of the prompt: "SELECTED X Y W H ICON-WIDTH",
//                                    its bounds on the screen
//   latency KEY N                    N times: press KEY, time until the prompt is
//                                    drawn, press Space, wait until it is hidden
//   hook-stats                       the hook's worst time and event count
//   wait-tip PATTERN MS              wait until the tray icon's tip matches PATTERN
//   wait-message CAPTION MS [BUTTON] wait for a message box, print its text, answer
//                                    it with BUTTON (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7)
// and the dialog commands of QlDrive.cpp and QlSmoke*.cpp.
// Exit code 0 on success, 1 on failure or time-out; what was seen is printed.
#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "HoamStats.h"
#include "QlDrive.h"

namespace {

constexpr COLORREF kHighlight = RGB(49, 106, 197);

using qldrive::NotepadEdit;
using qldrive::Now;
using qldrive::PollFor;

// Notepad's text with a | at its caret (the selection's start).
std::string NotepadText() {
  HWND edit = NotepadEdit();
  if (!edit) return "<no notepad>";
  DWORD start = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  const std::string text = qldrive::WindowText(edit);
  return text.substr(0, start) + "|" + text.substr(std::min<size_t>(start, text.size()));
}

// Whether `text` matches `pattern`, where * stands for any characters.
bool Matches(const char* pattern, const char* text) {
  if (*pattern == '*') return Matches(pattern + 1, text) || (*text && Matches(pattern, text + 1));
  return *pattern == *text && (!*pattern || Matches(pattern + 1, text + 1));
}

HWND Prompt() { return qldrive::MainWindow(); }
HWND PromptList() { return Prompt() ? GetDlgItem(Prompt(), 1001) : nullptr; }

bool PromptVisible() {
  HWND prompt = Prompt();
  return prompt && IsWindowVisible(prompt);
}

// The rows of the prompt list (their first column), as "ROW|ROW|...".
std::string PromptRows() {
  std::string out;
  for (const qldrive::ListRow& row : qldrive::ListViewRows(PromptList()))
    out += (out.empty() ? "" : "|") + (row.columns.empty() ? std::string() : row.columns[0]);
  return out;
}

// The selected first row is drawn in the prompt's own highlight colour: its
// right end (past the text) shows the fill once the row has been painted.
bool PromptDrawn() {
  HWND list = PromptList();
  if (!list || !PromptVisible()) return false;
  int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
  POINT at = {width - 3, 3};
  ClientToScreen(list, &at);
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour == kHighlight;
}

void Press(BYTE vk) {
  const BYTE scan = static_cast<BYTE>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  keybd_event(vk, scan, 0, 0);
  keybd_event(vk, scan, KEYEVENTF_KEYUP, 0);
}

int Latency(BYTE vk, int times) {
  std::vector<double> samples;
  for (int i = 0; i < times; ++i) {
    Press(VK_SPACE);
    if (!PollFor(2000, [] { return !PromptVisible(); })) {
      std::printf("prompt did not hide\n");
      return 1;
    }
    const double start = Now();
    Press(vk);
    if (!PollFor(2000, PromptDrawn, 0)) {
      std::printf("prompt not drawn\n");
      return 1;
    }
    samples.push_back(Now() - start);
  }
  std::sort(samples.begin(), samples.end());
  std::printf("latency ms: min %.1f median %.1f max %.1f over %d\n", samples.front(),
              samples[samples.size() / 2], samples.back(), times);
  return 0;
}

// Each row's bounds and icon on the screen, read through memory lent by
// Quillet's process.
int PromptRowRects() {
  HWND list = PromptList();
  if (!list) return 1;
  const std::vector<qldrive::ListRow> rows = qldrive::ListViewRows(list);
  qldrive::RemoteBlock remote(list, sizeof(RECT));
  auto rect = [&](int row, LONG part, RECT& r) {
    r = RECT{part, 0, 0, 0};
    return remote.Write(&r, sizeof r) &&
           SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.At())) &&
           remote.Read(&r, sizeof r);
  };
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    RECT bounds, icon;
    if (!rect(i, LVIR_BOUNDS, bounds) || !rect(i, LVIR_ICON, icon)) return 1;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
    std::printf("%d %ld %ld %ld %ld %ld\n", rows[i].selected ? 1 : 0, bounds.left, bounds.top,
                bounds.right - bounds.left, bounds.bottom - bounds.top, icon.right - icon.left);
  }
  return 0;
}

int HookStats() {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, hoam::kStatsName);
  if (!mapping) {
    std::printf("no hook statistics\n");
    return 1;
  }
  auto* stats = static_cast<const hoam::Stats*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(hoam::Stats)));
  int rc = 1;
  if (stats && stats->frequency > 0) {
    const double toMs = 1000.0 / static_cast<double>(stats->frequency);
    const long long calls = stats->events;
    std::printf("hook mean ms %.3f worst ms %.3f (key 0x%02llx%s), %lld over 1 ms, over %lld key events (%lld synthetic passed)\n",
                calls ? static_cast<double>(stats->totalTicks) * toMs / static_cast<double>(calls) : 0.0,
                static_cast<double>(stats->maxTicks) * toMs,
                static_cast<unsigned long long>(stats->slowestKey & 0xFF),
                (stats->slowestKey & 0x100) ? " up" : "", static_cast<long long>(stats->slowEvents),
                static_cast<long long>(stats->events),
                static_cast<long long>(stats->skipped));
    std::printf("last keys (^ release, * kept from the application):");
    const long long count = stats->recentCount;
    for (long long i = std::max(0LL, count - hoam::Stats::kRecent); i < count; ++i) {
      const int event = stats->recent[i % hoam::Stats::kRecent];
      std::printf(" %s%02x%s", (event & 0x100) ? "^" : "", event & 0xFF, (event & 0x200) ? "*" : "");
    }
    std::printf("\n");
    rc = 0;
  }
  if (stats) UnmapViewOfFile(stats);
  CloseHandle(mapping);
  return rc;
}

// A visible dialog with a message box's text control: Quillet's hidden main
// window and the dialogs' wait windows are dialogs titled "Quillet" as well,
// and stay around hidden.
HWND FindMessageBox(const char* caption) {
  for (HWND w = FindWindowA("#32770", caption); w; w = FindWindowExA(nullptr, w, "#32770", caption))
    if (IsWindowVisible(w) && GetDlgItem(w, 0xFFFF)) return w;
  return nullptr;
}

int WaitMessage(const char* caption, int ms, int button) {
  HWND box = nullptr;
  if (!PollFor(ms, [&] { return (box = FindMessageBox(caption)) != nullptr; })) {
    std::printf("no message box \"%s\"\n", caption);
    return 1;
  }
  char text[512] = {};
  // A message box's text is the static control 0xFFFF.
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  std::printf("[%s]\n", text);
  PostMessageA(box, WM_COMMAND, button, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string command = argv[1];
  auto arg = [&](int i) { return i < argc ? std::string(argv[i]) : std::string(); };
  auto ms = [&](int i) { return i < argc ? std::atoi(argv[i]) : 3000; };

  if (command == "wait-text") {
    bool ok = PollFor(ms(3), [&] { return Matches(arg(2).c_str(), NotepadText().c_str()); });
    std::printf("[%s]\n", NotepadText().c_str());
    return ok ? 0 : 1;
  }
  if (command == "wait-prompt") {
    const bool visible = arg(2) != "hidden";
    const bool drawn = arg(2) == "drawn";
    bool ok = PollFor(ms(3), [&] { return PromptVisible() == visible && (!drawn || PromptDrawn()); });
    std::printf("prompt %s\n", PromptVisible() ? "visible" : "hidden");
    return ok ? 0 : 1;
  }
  if (command == "wait-rows") {
    const std::string expected = arg(2);
    bool ok = PollFor(ms(3), [&] { return PromptVisible() && PromptRows() == expected; });
    std::printf("prompt %s rows [%s]\n", PromptVisible() ? "visible" : "hidden", PromptRows().c_str());
    return ok ? 0 : 1;
  }
  if (command == "wait-ready") {
    // Quillet follows notepad's edit box and is not in its pause after a
    // completion (it answers 0 then).
    LRESULT followed = 0;
    bool ok = PollFor(ms(2), [&] {
      DWORD_PTR answer = 0;
      HWND prompt = Prompt();
      HWND edit = NotepadEdit();
      if (!prompt || !SendMessageTimeoutA(prompt, WM_USER + 1013, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer)) return false;
      followed = static_cast<LRESULT>(answer);
      return edit && (reinterpret_cast<HWND>(answer) == edit || reinterpret_cast<HWND>(answer) == GetParent(edit));
    }, 10);
    std::printf("Quillet follows %p\n", reinterpret_cast<void*>(followed));
    return ok ? 0 : 1;
  }
  if (command == "focus-notepad") {
    HWND notepad = FindWindowA("Notepad", nullptr);
    if (!notepad) return 1;
    SetForegroundWindow(notepad);
    SetFocus(NotepadEdit());
    return PollFor(ms(2), [&] { return GetForegroundWindow() == notepad; }) ? 0 : 1;
  }
  if (command == "latency") {
    std::string key = arg(2);
    BYTE vk = key.empty() ? 'Z' : static_cast<BYTE>(LOBYTE(VkKeyScanA(key[0])));
    return Latency(vk, argc > 3 ? std::atoi(argv[3]) : 5);
  }
  if (command == "hook-stats") return HookStats();
  if (command == "wait-tip") {
    // Quillet's hidden tray window carries the tip as its title.
    char tip[128] = {};
    bool ok = PollFor(ms(3), [&] {
      HWND tray = FindWindowA("QuilletTrayWnd", nullptr);
      tip[0] = 0;
      if (tray) GetWindowTextA(tray, tip, sizeof tip);
      return Matches(arg(2).c_str(), tip);
    });
    std::printf("[%s]\n", tip);
    return ok ? 0 : 1;
  }
  if (command == "prompt-rows") return PromptRowRects();
  if (command == "wait-hook") {
    // Quillet's window exists and its hook has made the timing block.
    bool ok = PollFor(ms(2), [] {
      HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, hoam::kStatsName);
      if (mapping) CloseHandle(mapping);
      return mapping && Prompt();
    });
    std::printf("hook %s\n", ok ? "installed" : "missing");
    return ok ? 0 : 1;
  }
  if (command == "prompt-at-caret") {
    // The prompt's top-left corner: right of the caret, 5 pixels below it.
    RECT caret = {}, at = {};
    auto placed = [&] {
      HWND edit = NotepadEdit();
      HWND prompt = Prompt();
      if (!edit || !prompt) return false;
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      if (!GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &info) || !info.hwndCaret) return false;
      caret = info.rcCaret;
      MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&caret), 2);
      GetWindowRect(prompt, &at);
      return at.left == caret.right && at.top == caret.bottom + 5;
    };
    bool ok = PollFor(ms(2), placed);
    std::printf("prompt at (%ld,%ld), caret bottom-right (%ld,%ld)\n", at.left, at.top, caret.right, caret.bottom);
    return ok ? 0 : 1;
  }
  if (command == "wait-menu") {
    bool ok = PollFor(ms(2), [] {
      HWND menu = FindWindowA("#32768", nullptr);
      return menu && IsWindowVisible(menu);
    });
    std::printf("menu %s\n", ok ? "open" : "not open");
    return ok ? 0 : 1;
  }
  if (command == "where") {
    // For the log when a check fails: who has the foreground and the caret.
    HWND fg = GetForegroundWindow();
    char name[128] = {};
    GetClassNameA(fg, name, sizeof name);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(fg, nullptr), &info);
    char focus[128] = {};
    GetClassNameA(info.hwndFocus, focus, sizeof focus);
    char ime[256] = {};
    UINT imeLength = ImmGetDescriptionA(GetKeyboardLayout(GetWindowThreadProcessId(fg, nullptr)), ime, sizeof ime);
    std::printf("foreground %p %s, ime %u [%s], focus %p %s, caret %p (%ld,%ld,%ld,%ld)\n", static_cast<void*>(fg), name,
                imeLength, ime,
                static_cast<void*>(info.hwndFocus), focus, static_cast<void*>(info.hwndCaret), info.rcCaret.left,
                info.rcCaret.top, info.rcCaret.right, info.rcCaret.bottom);
    return 0;
  }
  if (command == "wait-message") return WaitMessage(argv[2], ms(3), argc > 4 ? std::atoi(argv[4]) : IDOK);
  const int answered = qldrive::CommandSet::Dispatch(argc, argv);
  if (answered != -1) return answered;
  std::printf("unknown command %s\n", command.c_str());
  return 2;
}
