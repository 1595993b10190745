// The Windows keyboard and clipboard backends against the real system: the
// clipboard round trip, the layout lookup, and key events seen by a
// low-level keyboard hook that this test installs (and that swallows them,
// so that nothing reaches another program).
#ifdef _WIN32

#include <windows.h>
#undef VkKeyScan

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "output/ClipboardKeeper.h"
#include "output/SendKeystroke.h"
#include "platform/Keyboard.h"

namespace {

// What the system put on the clipboard as CF_TEXT; empty when none.
bool ReadClipboardText(std::string& text) {
  text.clear();
  if (!OpenClipboard(nullptr)) return false;
  bool ok = false;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      ok = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return ok;
}

bool PutClipboardText(const std::string& text) {
  platform::Clipboard& clipboard = platform::SystemClipboard();
  if (!clipboard.Open()) return false;
  clipboard.Empty();
  bool ok = clipboard.SetText(text);
  clipboard.Close();
  return ok;
}

TEST(Win32Clipboard, TextSetIsReadBackAsCfText) {
  ASSERT_TRUE(PutClipboardText("Quillet \xe9t\xe9 paste"));
  std::string back;
  ASSERT_TRUE(ReadClipboardText(back));
  EXPECT_EQ(back, "Quillet \xe9t\xe9 paste");
  ASSERT_TRUE(PutClipboardText(""));
  ASSERT_TRUE(ReadClipboardText(back));
  EXPECT_EQ(back, "");
}

// Another thread holds the clipboard open with its own window until told
// to let go.
class ClipboardHolder {
 public:
  ClipboardHolder() : thread_([this] { Run(); }) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return state_ != kStarting; });
  }
  ~ClipboardHolder() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      release_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  bool holding() const { return state_ == kHolding; }

 private:
  enum State { kStarting, kHolding, kFailed };
  void Run() {
    HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    bool open = window && OpenClipboard(window);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      state_ = open ? kHolding : kFailed;
    }
    changed_.notify_all();
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return release_; });
    if (open) CloseClipboard();
    if (window) DestroyWindow(window);
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  State state_ = kStarting;
  bool release_ = false;
  std::thread thread_;
};

TEST(Win32Clipboard, ClipboardHeldByAnotherProgramIsNotTouched) {
  ASSERT_TRUE(PutClipboardText("theirs"));
  {
    ClipboardHolder holder;
    if (!holder.holding()) GTEST_SKIP() << "the clipboard could not be held by a second thread";
    EXPECT_FALSE(platform::SystemClipboard().Open());
    output::ClipboardKeeper keeper;
    EXPECT_EQ(keeper.PasteText("ours", 0), 1);
  }
  std::string back;
  ASSERT_TRUE(ReadClipboardText(back));
  EXPECT_EQ(back, "theirs");
}

// --- key events seen by a low-level hook ------------------------------------------

struct Seen {
  DWORD vk, scan, flags;
  WPARAM message;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
};
std::vector<Seen>* g_seen = nullptr;

// Records and swallows the events we inject; everything else passes.
LRESULT CALLBACK RecordHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_seen) {
    const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (info->flags & LLKHF_INJECTED) {
      g_seen->push_back(Seen{info->vkCode, info->scanCode, info->flags, wParam});
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Win32KeyEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    g_seen = &seen;
    hook = SetWindowsHookExA(WH_KEYBOARD_LL, RecordHook, GetModuleHandleA(nullptr), 0);
    if (!hook) GTEST_SKIP() << "no low-level keyboard hook could be installed";
  }
  void TearDown() override {
    if (hook) UnhookWindowsHookEx(hook);
    g_seen = nullptr;
  }

  // Pumps messages (the hook runs inside that) until `count` events have
  // been seen or two seconds have passed. False when they did not arrive.
  bool WaitFor(std::size_t count) {
    const ULONGLONG deadline = GetTickCount64() + 2000;
    MSG msg;
    while (seen.size() < count && GetTickCount64() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return seen.size() >= count;
  }

#define WAIT_FOR_EVENTS(n)                                                                  \
  do {                                                                                      \
    if (!WaitFor(n)) {                                                                      \
      if (seen.empty())                                                                     \
        GTEST_SKIP() << "injected key events did not reach the low-level hook "             \
                        "(Wine without a display does not deliver them)";                  \
      FAIL() << "only " << seen.size() << " of " << (n) << " events arrived";             \
    }                                                                                       \
  } while (0)

  std::vector<Seen> seen;
  HHOOK hook = nullptr;
};

TEST_F(Win32KeyEvents, KeystrokeArrivesWithOurScanCode) {
  EXPECT_EQ(output::SendKeystroke(0, VK_F24), 1);
  WAIT_FOR_EVENTS(2u);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].vk, DWORD(VK_F24));
  EXPECT_EQ(seen[0].scan, 0xEEu);
  EXPECT_EQ(seen[0].flags & (LLKHF_UP | LLKHF_EXTENDED), 0u);
  EXPECT_EQ(seen[1].vk, DWORD(VK_F24));
  EXPECT_EQ(seen[1].scan, 0xEEu);
  EXPECT_EQ(seen[1].flags & (LLKHF_UP | LLKHF_EXTENDED), DWORD(LLKHF_UP));
  EXPECT_EQ(seen[0].message, WPARAM(WM_KEYDOWN));
  EXPECT_EQ(seen[1].message, WPARAM(WM_KEYUP));
}

TEST_F(Win32KeyEvents, ShiftedCharacterArrivesWrappedInShift) {
  if (LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0))) != 0x0409) {
    GTEST_SKIP() << "the keyboard layout is not US English";
  }
  const bool caps = platform::SystemKeyboard().CapsLockOn();
  EXPECT_EQ(output::SendKeystroke(caps ? 'a' : 'A', 0), 1);
  WAIT_FOR_EVENTS(4u);
  ASSERT_EQ(seen.size(), 4u);
  const DWORD expected[] = {VK_SHIFT, 'A', 'A', VK_SHIFT};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(seen[i].vk == VK_LSHIFT ? DWORD(VK_SHIFT) : seen[i].vk, expected[i]) << i;
    EXPECT_EQ(seen[i].scan, 0xEEu) << i;
    EXPECT_EQ(seen[i].message, WPARAM(i < 2 ? WM_KEYDOWN : WM_KEYUP)) << i;
  }
}

TEST_F(Win32KeyEvents, CtrlVOfAPasteIsMarkedExtended) {
  platform::KeyboardOutput& keyboard = platform::SystemKeyboard();
  keyboard.KeyEvent(VK_CONTROL, platform::kSyntheticScanCode, platform::kKeyExtended);
  keyboard.KeyEvent(VK_CONTROL, platform::kSyntheticScanCode,
                    platform::kKeyExtended | platform::kKeyUp);
  WAIT_FOR_EVENTS(2u);
  for (const Seen& s : seen) {
    EXPECT_EQ(s.scan, 0xEEu);
    EXPECT_NE(s.flags & LLKHF_EXTENDED, 0u);
  }
  EXPECT_NE(seen[1].flags & LLKHF_UP, 0u);
}

TEST_F(Win32KeyEvents, UnicodeEventCarriesTheCharacter) {
  platform::KeyboardOutput& keyboard = platform::SystemKeyboard();
  keyboard.UnicodeEvent(u'\u00e9', false, 0);
  keyboard.UnicodeEvent(u'\u00e9', true, 0);
  WAIT_FOR_EVENTS(2u);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].vk, DWORD(VK_PACKET));
  EXPECT_EQ(seen[0].scan, 0xE9u);
  // The release shows in the message; Wine leaves LLKHF_UP clear for
  // Unicode packets, so the flag is not checked here.
  EXPECT_EQ(seen[0].message, WPARAM(WM_KEYDOWN));
  EXPECT_EQ(seen[1].message, WPARAM(WM_KEYUP));
  EXPECT_EQ(seen[1].scan, 0xE9u);
}

}  // namespace

#endif  // _WIN32
