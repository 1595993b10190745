// A Notepad-like window on the simulated desktop, dictionaries in a scratch
// folder, and the engine's main window wired to both: tests type keys and
// read back what the text box holds and what the prompt shows.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "dict/DictTestUtil.h"
#include "engine/sim/SimWorld.h"

namespace enginetest {

using dicttest::Entry;
using platform::WindowHandle;

inline constexpr uint8_t kTab = 0x09, kEnter = 0x0D, kEscape = 0x1B, kBack = 0x08, kUp = 0x26,
                         kDown = 0x28, kPageUp = 0x21, kPageDown = 0x22, kF1 = 0x70, kShift = 0x10;

class EngineTest : public ::testing::Test, public engine::SimWorld {
 protected:
  EngineTest() {
    notepad = AddNotepad();
    edit = AddEditBox(notepad);
    config.strAppDir = dir.path().string() + "/";
    std::filesystem::create_directories(dir.path() / "libs");
  }
  // Files are closed before the scratch folder goes (Windows keeps open
  // files from being removed).
  ~EngineTest() override {
    main.reset();
    autoLearn.Close();
    dictSet.UnloadAll();
  }

  std::string Libs(const std::string& name) const { return (dir.path() / "libs" / name).string(); }

  void AddWords(const std::string& file, const std::vector<Entry>& entries) {
    ASSERT_TRUE(dicttest::MakeDictionary(Libs(file), DICT_TYPE_WORDS, entries));
  }
  void AddShorthands(const std::string& file, const std::vector<Entry>& entries) {
    ASSERT_TRUE(dicttest::MakeDictionary(Libs(file), DICT_TYPE_SHORTHAND, entries));
  }

  // Loads the dictionaries and the learning file, starts the main window
  // and puts the focus into the text box.
  void Start() {
    dictSet.LoadAll((dir.path().string() + "/libs/*.lib").c_str(), false);
    autoLearn.Open(Libs("AutoLearn.dic"));
    SimWorld::Start(edit);
    main->SetClock([] {
      std::tm t{};
      t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 4, t.tm_wday = 5, t.tm_hour = 14, t.tm_min = 5, t.tm_sec = 9;
      return t;
    });
  }

  void Type(const std::string& text) {
    for (char c : text) {
      keyboard.Type(std::string(1, c));
      main->Pump();
    }
  }
  void Press(uint8_t vk) {
    keyboard.Press(vk);
    main->Pump();
  }
  void Release(uint8_t vk) {
    keyboard.Release(vk);
    main->Pump();
  }
  void Tap(uint8_t vk) {
    Press(vk);
    Release(vk);
  }

  std::string Text() const { return desktop.Text(edit); }
  size_t Caret() const { return desktop.CaretPos(edit); }
  std::vector<std::string> Rows() const {
    std::vector<std::string> out;
    for (const auto& r : main->rows) out.push_back(r.text);
    return out;
  }
  bool PromptShown() const { return main->visible; }
  engine::CTypingEngine& Engine() { return main->Engine(); }
  engine::SimMainWindow& Main() { return *main; }

  dicttest::ScratchDir dir;
  WindowHandle notepad = 0;
  WindowHandle edit = 0;
};

}  // namespace enginetest
