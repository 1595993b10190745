// quillet-term: Quillet's typing engine in a terminal.
//
//   quillet-term [--home DIR] [--drive-root DIR] [--codepage N] [--app PATH]
//                [--keys KEYS [--trace] [--why]]
//   quillet-term [--home DIR] --measure TEXTFILE
//   quillet-term [--home DIR] --measure-typos FILE
//
// The text area behaves as a text box of the simulated desktop; the prompt
// appears under the caret with its number labels and the preview of the
// selected row. The home folder plays the role of the program's folder
// (libs/, Config.ini, AppConfig.ini, libs/AutoLearn.dic); without a libs/
// folder it gets one with the bundled dictionaries. Drive paths typed as text
// (C:\...) are looked up under --drive-root (default /). The text area
// belongs to an application whose executable is --app (default this very
// program), so that the application rules of AppConfig.ini can be tried.
// The status line says why there is a prompt or none.
//
// With --keys the keys are typed without a terminal and the text area's
// final bytes are printed, nothing else; --trace adds the prompt after each
// key on standard error; --why ends the output with the line
// "why: <reason>". --measure types a text file as a typist who uses the
// prompt and prints the keystrokes saved; --measure-typos tells how often
// mistyped words find the word meant (Measure.h).
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/Core.h"
#include "engine/sim/SimMainWindow.h"
#include "Keys.h"
#include "Measure.h"
#include "platform/CodePage.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimInput.h"
#include "Screen.h"

namespace fs = std::filesystem;

namespace {

constexpr platform::ProcessId kTextAreaProcess = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: quillet-term [--home DIR] [--drive-root DIR] [--codepage N] [--app PATH]\n"
               "                    [--keys KEYS [--trace] [--why]]\n"
               "       quillet-term [--home DIR] --measure TEXTFILE | --measure-typos FILE\n");
  return 2;
}

std::string DefaultHome() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return std::string(data) + "/quillet";
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/quillet";
  return "quillet-home";
}

std::string ExecutablePath() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("quillet-term") : self.string();
}

// A home folder without libs/ gets the dictionaries that ship beside the
// program; an existing libs/ is used as it is.
bool PrepareHome(const fs::path& home, std::string& error) {
  std::error_code ec;
  fs::create_directories(home, ec);
  if (!fs::is_directory(home)) {
    error = "cannot create " + home.string();
    return false;
  }
  fs::path libs = home / "libs";
  if (fs::exists(libs)) return true;
  fs::create_directories(libs, ec);
  fs::path bundled = fs::path(ExecutablePath()).parent_path() / "libs";
  for (fs::directory_iterator it(bundled, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() > 4 && (name.rfind(".lib") == name.size() - 4 || name.find("copyright") != std::string::npos))
      fs::copy_file(it->path(), libs / name, fs::copy_options::skip_existing, ec);
  }
  return true;
}

// One Quillet session on a simulated desktop: the terminal's text area is a
// window of this very program.
struct Session {
  Session(const std::string& home, const std::string& app)
      : core(desktop, processes, home + "/") {
    const std::string self = ExecutablePath();
    processes.AddProcess(engine::SimMainWindow::kOwnProcess, self);
    processes.AddProcess(kTextAreaProcess, app.empty() ? self : app);
    top = desktop.AddWindow("QuilletTerm", 0, 0, kTextAreaProcess);
    area = desktop.AddWindow("Edit", 1, top, kTextAreaProcess);
    desktop.MakeTextBox(area);
    desktop.SetWindowRect(top, {0, 0, 800, 600});
    desktop.SetWindowRect(area, {0, 16, 800, 600});
    core.config.LoadAll();
    core.LoadDictionaries();
    core.OpenAutoLearn();
    main = std::make_unique<engine::SimMainWindow>(desktop, keyboard, clipboard, core.config, core.dictSet,
                                                   core.autoLearn);
    main->Start();
    desktop.SetFocus(area);
    main->Pump();
  }

  void Key(const term::ScriptKey& key) {
    if (key.isText) {
      Character(std::string(1, key.text));
      return;
    }
    keyboard.Press(key.virtualKey);
    main->Pump();
    keyboard.Release(key.virtualKey);
    main->Pump();
  }

  // One character: its key when the layout has one, else a character event
  // of its own (a double-byte character comes as both of its bytes).
  void Character(const std::string& bytes) {
    if (bytes.size() == 1 && keyboard.VkKeyScan(bytes[0]) != -1) {
      keyboard.Type(bytes);
    } else if (static_cast<unsigned char>(bytes[0]) >= 0x80) {
      for (char16_t u : platform::AnsiToUtf16(bytes)) {
        keyboard.UnicodeEvent(u, false, 0);
        keyboard.UnicodeEvent(u, true, 0);
      }
    }
    main->Pump();
  }

  platform::sim::SimDesktop desktop;
  platform::sim::SimProcesses processes;
  platform::sim::SimClipboard clipboard;
  platform::sim::SimKeyboard keyboard{desktop, clipboard};
  engine::QuilletCore core;
  std::unique_ptr<engine::SimMainWindow> main;
  platform::WindowHandle top = 0, area = 0;
};

std::string KeyLabel(const term::ScriptKey& key) {
  if (key.isText) return std::string(1, key.text);
  return "vk " + std::to_string(key.virtualKey);
}

int RunScript(Session& session, const std::string& script, bool trace, bool why) {
  std::vector<term::ScriptKey> keys;
  std::string error;
  if (!term::ParseKeys(script, keys, error)) {
    std::fprintf(stderr, "quillet-term: unknown key %s\n", error.c_str());
    return 1;
  }
  for (const term::ScriptKey& key : keys) {
    session.Key(key);
    if (trace) std::fprintf(stderr, "%s\n%s", KeyLabel(key).c_str(), term::DescribePrompt(*session.main).c_str());
  }
  std::string text = session.desktop.Text(session.area);
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (why) {
    if (!text.empty() && text.back() != '\n') std::fputc('\n', stdout);
    std::printf("why: %s\n", session.main->Engine().Reason().Text().c_str());
  }
  return 0;
}

// ---- the interactive terminal ------------------------------------------------

class RawTerminal {
 public:
  RawTerminal() {
    if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | IXON | ISTRIP | INPCK | BRKINT);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | ISIG | IEXTEN);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    ok_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0;
    std::fputs("\x1b[?1049h", stdout);
  }
  ~RawTerminal() {
    std::fputs("\x1b[0m\x1b[?1049l", stdout);
    std::fflush(stdout);
    if (ok_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  bool ok() const { return ok_; }

 private:
  termios saved_{};
  bool ok_ = false;
};

bool ReadByte(unsigned char& c, int timeoutMs) {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return false;
  return read(STDIN_FILENO, &c, 1) == 1;
}

// Turns what the terminal sends into keys; false when the user quits.
bool NextKeys(std::vector<term::ScriptKey>& keys) {
  keys.clear();
  unsigned char c;
  if (!ReadByte(c, -1)) return false;
  auto named = [&](std::uint8_t vk) { keys.push_back({false, 0, vk}); };
  if (c == 0x11 || c == 0x03 || c == 0x04) return false;  // Ctrl+Q, Ctrl+C, Ctrl+D
  if (c == 0x1B) {
    unsigned char next;
    if (!ReadByte(next, 30)) {
      named(0x1B);
      return true;
    }
    std::string seq(1, static_cast<char>(next));
    while (ReadByte(c, 5)) {
      seq += static_cast<char>(c);
      if ((c >= 'A' && c <= 'Z') || c == '~') break;
    }
    static const struct {
      const char* seq;
      std::uint8_t vk;
    } kSequences[] = {{"[A", 0x26},   {"[B", 0x28},   {"[C", 0x27},   {"[D", 0x25},   {"[H", 0x24},
                      {"[F", 0x23},   {"[1~", 0x24},  {"[4~", 0x23},  {"[7~", 0x24},  {"[8~", 0x23},
                      {"[5~", 0x21},  {"[6~", 0x22},  {"[3~", 0x2E},  {"OP", 0x70},   {"OQ", 0x71},
                      {"OR", 0x72},   {"OS", 0x73},   {"[15~", 0x74}, {"[17~", 0x75}, {"[18~", 0x76},
                      {"[19~", 0x77}, {"[20~", 0x78}, {"[21~", 0x79}, {"OH", 0x24},   {"OF", 0x23}};
    for (const auto& s : kSequences)
      if (seq == s.seq) named(s.vk);
    return true;
  }
  if (c == 0x7F || c == 0x08) named(0x08);
  else if (c == '\r' || c == '\n') named(0x0D);
  else if (c == '\t') named(0x09);
  else if (c >= 0x20 && c < 0x7F) keys.push_back({true, static_cast<char>(c), 0});
  else if (c >= 0x80) {
    // UTF-8 from the terminal: the rest of the character, then its ANSI bytes.
    std::string utf8(1, static_cast<char>(c));
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    for (int i = 0; i < more && ReadByte(c, 5); ++i) utf8 += static_cast<char>(c);
    for (char b : platform::Utf8ToAnsi(utf8)) keys.push_back({true, b, 0});
  }
  return true;
}

int RunInteractive(Session& session) {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    std::fprintf(stderr, "quillet-term: not a terminal (use --keys for scripts)\n");
    return 1;
  }
  RawTerminal terminal;
  if (!terminal.ok()) return 1;
  const std::string help =
      "  -  type away; Tab/Enter complete, Up/Down/PgUp/PgDn choose, F1-F10 pick, Esc hides, Ctrl+Q quits";
  std::vector<term::ScriptKey> keys;
  do {
    for (const term::ScriptKey& key : keys) session.Key(key);
    const std::string status = session.main->Engine().Reason().Text() + help;
    winsize size{};
    ioctl(STDOUT_FILENO, TIOCGWINSZ, &size);
    std::string frame = term::RenderFrame(session.desktop.Text(session.area), session.desktop.CaretPos(session.area),
                                          *session.main, size.ws_row ? size.ws_row : 24,
                                          size.ws_col ? size.ws_col : 80, status);
    std::fwrite(frame.data(), 1, frame.size(), stdout);
    std::fflush(stdout);
  } while (NextKeys(keys));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string home = DefaultHome(), driveRoot = "/", keys, app, measure, measureTypos;
  bool haveKeys = false, trace = false, why = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if (a == "--home") {
      if (!value(home)) return Usage();
    } else if (a == "--drive-root") {
      if (!value(driveRoot)) return Usage();
    } else if (a == "--keys") {
      if (!value(keys)) return Usage();
      haveKeys = true;
    } else if (a == "--measure") {
      if (!value(measure)) return Usage();
    } else if (a == "--measure-typos") {
      if (!value(measureTypos)) return Usage();
    } else if (a == "--trace") {
      trace = true;
    } else if (a == "--why") {
      why = true;
    } else if (a == "--app") {
      if (!value(app)) return Usage();
    } else if (a == "--codepage") {
      std::string page;
      if (!value(page)) return Usage();
      if (!platform::SetAnsiCodePage(std::atoi(page.c_str()))) {
        std::fprintf(stderr, "quillet-term: code page %s is not available\n", page.c_str());
        return 1;
      }
    } else {
      return Usage();
    }
  }
  std::string error;
  if (!PrepareHome(home, error)) {
    std::fprintf(stderr, "quillet-term: %s\n", error.c_str());
    return 1;
  }
  Session session(home, app);
  session.main->driveRoot = driveRoot;
  if (!measure.empty() || !measureTypos.empty()) {
    term::MeasureSession target{
        *session.main,
        session.core.config.vkSelectIndex,
        [&](const std::string& bytes) { session.Character(bytes); },
        [&](std::uint8_t vk) { session.Key({false, 0, vk}); },
        [&] { return session.desktop.Text(session.area); },
        [&] {
          session.desktop.SetText(session.area, "");
          session.main->Engine().ResetInput();
          session.main->Engine().ShowPrompt(false);
        }};
    return measure.empty() ? term::RunMeasureTypos(target, measureTypos) : term::RunMeasure(target, measure);
  }
  return haveKeys ? RunScript(session, keys, trace, why) : RunInteractive(session);
}
