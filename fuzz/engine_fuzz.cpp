// Key streams in any order into the engine on the simulated desktop: keys,
// releases without presses, focus changes, menus and shorthand expansions
// with any text, mistyped words among them. Nothing may crash or read out of bounds, and the input
// buffer keeps its bound.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

#include "dict/Dictionary.h"
#include "engine/sim/SimWorld.h"

namespace {

namespace fs = std::filesystem;

struct World : engine::SimWorld {
  fs::path root;
  platform::WindowHandle edits[2] = {0, 0};

  World() {
    root = fs::temp_directory_path() / ("quillet-engine-fuzz-" + std::to_string(std::random_device()()));
    fs::create_directories(root / "libs");
    CDictionary words;
    words.Open((root / "libs" / "words.lib").string().c_str());
    words.SaveInfo();
    // Accented and high bytes for the search of words near a mistyped one.
    for (const char* w : {"hello", "hello world", "help", "a", "ab", "abc", "x%y", "C:\\", "caf\xe9", "\xe9t\xe9s",
                          "\x81\x40\x81\x41x", "helicopter", "helpfulness"})
      words.AddItem(DictItem(w, "r"), true);
    words.Close();
    CDictionary shorts;
    shorts.Open((root / "libs" / "short.lib").string().c_str());
    shorts.SetType(DICT_TYPE_SHORTHAND);
    shorts.SaveInfo();
    shorts.AddItem(DictItem("sig", "a%CARET%b%TAB%%RETURN%%BACKSPACE%%DATE%\r\n%"), true);
    shorts.AddItem(DictItem("em", ""), true);
    shorts.Close();
    dictSet.LoadAll((root.string() + "/libs/*.lib").c_str(), false);
    autoLearn.Open((root / "libs" / "AutoLearn.dic").string());
    platform::WindowHandle top = AddNotepad();
    for (auto& e : edits) e = AddEditBox(top);
    Start(edits[0]);
    main->driveRoot = root.string();
  }
};

World& TheWorld() {
  static World world;
  return world;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World& w = TheWorld();
  for (auto e : w.edits) w.desktop.SetText(e, "");
  w.main->Engine().ResetInput();
  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint8_t op = data[i], arg = data[i + 1];
    switch (op % 8) {
      case 0: w.keyboard.Press(arg); break;
      case 1: w.keyboard.Release(arg); break;
      case 2: w.keyboard.Type(std::string(1, static_cast<char>(arg))); break;
      case 3: w.desktop.SetFocus(w.edits[arg % 2]); break;
      case 4: w.desktop.FocusMenu(w.edits[0]); break;
      case 5: w.main->Engine().OnRowDoubleClick(arg % 12 - 1); break;
      case 6: w.main->Engine().OnMessage(engine::WM_SELECT_ITEM, static_cast<uintptr_t>(static_cast<int>(arg % 16) - 6), 0); break;
      default: w.main->Engine().OnHookKey(arg | (data[i] & 0x80 ? 0x8100u : 0u), (static_cast<intptr_t>(arg) << 8) | (op & 1)); break;
    }
    w.main->Pump();
    if (w.main->Engine().m_strInput.size() > 1026) std::abort();
  }
  return 0;
}
