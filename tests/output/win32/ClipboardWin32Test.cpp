// The user's clipboard around a paste, against the real system: a text and a
// format of another program's own are on the clipboard, a piece is pasted
// into an edit box of ours with Ctrl+V (which asks for our offered text),
// and both formats are back afterwards.
// It needs a desktop to put a window on: Wine without a display has none, so
// the smoke test runs these with QUILLET_TEST_DESKTOP set, where a missing
// window or focus is a failure rather than a skip.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "output/ClipboardKeeper.h"
#include "platform/Keyboard.h"

namespace {

using Item = platform::Clipboard::Item;

std::vector<Item> ReadAll() {
  platform::Clipboard& clipboard = platform::SystemClipboard();
  if (!clipboard.Open()) return {};
  std::vector<Item> items = clipboard.Contents();
  clipboard.Close();
  return items;
}

const Item* Find(const std::vector<Item>& items, UINT format) {
  for (const Item& item : items)
    if (item.format == format) return &item;
  return nullptr;
}

bool PutAll(const std::vector<Item>& items) {
  platform::Clipboard& clipboard = platform::SystemClipboard();
  if (!clipboard.Open()) return false;
  bool ok = clipboard.SetContents(items);
  clipboard.Close();
  return ok;
}

class Win32Paste : public ::testing::Test {
 protected:
  void SetUp() override {
    window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "paste target", WS_POPUP | WS_VISIBLE, 10, 10, 300,
                             60, nullptr, nullptr, nullptr, nullptr);
    edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 60, window, nullptr,
                           nullptr, nullptr);
    const bool required = std::getenv("QUILLET_TEST_DESKTOP") != nullptr;
    if (!window || !edit) {
      if (required) FAIL() << "no window could be created";
      GTEST_SKIP() << "no desktop to create a window on";
    }
    SetForegroundWindow(window);
    SetFocus(edit);
    Pump(50);
    if (GetFocus() != edit) {
      if (required) FAIL() << "our window did not get the keyboard focus";
      GTEST_SKIP() << "our window could not get the keyboard focus";
    }
    theirs = {{CF_TEXT, std::string("theirs\0", 7)}, {RegisterClipboardFormatA("Quillet Test Format"),
                                                      std::string("\x01\x00\x02\x03", 4)}};
    ASSERT_TRUE(PutAll(theirs));
  }
  void TearDown() override {
    if (window) DestroyWindow(window);
  }

  // Runs our message loop for `ms`, ticking the keeper as the program's timer does.
  void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      keeper.Tick();
      Sleep(10);
    }
  }
  std::string EditText() const {
    char text[256] = "";
    GetWindowTextA(edit, text, sizeof text);
    return text;
  }

  HWND window = nullptr, edit = nullptr;
  std::vector<Item> theirs;
  output::ClipboardKeeper keeper;
};

TEST_F(Win32Paste, BothFormatsAreBackAfterThePaste) {
  ASSERT_EQ(keeper.PasteText("\x93\xfa\x96\x7b", 0), 1);
  Pump(500);
  EXPECT_EQ(EditText(), "\x93\xfa\x96\x7b");
  EXPECT_FALSE(keeper.RestorePending());
  const std::vector<Item> back = ReadAll();
  for (const Item& item : theirs) {
    const Item* found = Find(back, item.format);
    ASSERT_NE(found, nullptr) << "format " << item.format;
    // The system rounds memory blocks up; what we put there comes first.
    EXPECT_EQ(found->bytes.substr(0, item.bytes.size()), item.bytes) << "format " << item.format;
  }
}

TEST_F(Win32Paste, AClipboardChangedMeanwhileIsLeftAlone) {
  // The keyboard on a window that does not paste: no one takes ours.
  SetFocus(window);
  ASSERT_EQ(keeper.PasteText("ours", 0), 1);
  Pump(100);
  ASSERT_TRUE(keeper.RestorePending());
  ASSERT_TRUE(PutAll({{CF_TEXT, std::string("newer\0", 6)}}));
  Pump(500);
  EXPECT_FALSE(keeper.RestorePending());
  const std::vector<Item> back = ReadAll();
  const Item* text = Find(back, CF_TEXT);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text->bytes.c_str()), "newer");
  EXPECT_EQ(Find(back, theirs[1].format), nullptr);
}

}  // namespace

#endif  // _WIN32
