// quillet-dict: dictionary files and the learning file from the command line.
//
//   quillet-dict create FILE [--shorthand] [--caption TEXT] [--description TEXT]
//   quillet-dict info FILE
//   quillet-dict list FILE
//   quillet-dict lookup [--flags N] [--no-shorthand] [--limit N] [--min-length N]
//                       [--max-length N] PREFIX FILE...
//   quillet-dict add FILE KEY [DATA]
//   quillet-dict delete FILE KEY
//   quillet-dict import FILE TEXTFILE
//   quillet-dict import-counts FILE TEXTFILE
//   quillet-dict export FILE TEXTFILE
//   quillet-dict encrypt FILE
//   quillet-dict learn-list FILE
//   quillet-dict learn-import FILE TEXTFILE
//   quillet-dict learn-export FILE TEXTFILE
// Every command takes --codepage N (the ANSI code page of the text; not on
// Windows, where it is the system's). Exit status 0 on success; 1 with one
// line on standard error on failure.
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "dict/Dictionary.h"
#include "dict/DictionarySet.h"
#include "dict/ImportExport.h"
#include "Escape.h"
#include "learn/AutoLearn.h"
#include "platform/CodePage.h"

namespace {

using dicttool::Escape;
using dicttool::Unescape;

struct Failure {
  std::string message;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "quillet-dict: %s\n", message.c_str());
  return 1;
}

int Usage() {
  std::fprintf(stderr,
               "usage: quillet-dict [--codepage N] COMMAND ...\n"
               "  create FILE [--shorthand] [--caption TEXT] [--description TEXT]\n"
               "  info FILE | list FILE | encrypt FILE | learn-list FILE\n"
               "  lookup [--flags N] [--no-shorthand] [--limit N] [--min-length N] [--max-length N] PREFIX FILE...\n"
               "  add FILE KEY [DATA] | delete FILE KEY\n"
               "  import FILE TEXTFILE | export FILE TEXTFILE | import-counts FILE TEXTFILE\n"
               "  learn-import FILE TEXTFILE | learn-export FILE TEXTFILE\n");
  return 2;
}

bool Exists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

bool ParseNumber(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return end && *end == '\0';
}

// Opens an existing dictionary; the message says why when it cannot.
bool OpenExisting(CDictionary& dictionary, const std::string& path, std::string& error) {
  if (!Exists(path)) {
    error = "no such file: " + path;
    return false;
  }
  if (!dictionary.Open(path.c_str())) {
    error = path + " is not a dictionary file";
    return false;
  }
  return true;
}

// Progress on standard error once an import or export has run a second.
class ConsoleProgress final : public WaitProgress {
 public:
  void SetText(const std::string& text) override {
    if (Shown()) std::fprintf(stderr, "\r%s   ", text.c_str());
  }
  // Called as the work goes on: a line now and then shows it is alive.
  void PumpMessages() override {
    if (Shown() && ++pumps_ % 1000 == 0) std::fprintf(stderr, "\r%ld   ", pumps_);
  }
  bool IsCancelled() const override { return false; }
  ~ConsoleProgress() override {
    if (printed_) std::fputc('\n', stderr);
  }

 private:
  bool Shown() {
    if (!printed_ && std::chrono::steady_clock::now() - start_ > std::chrono::seconds(1)) printed_ = true;
    return printed_;
  }
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  bool printed_ = false;
  long pumps_ = 0;
};

int Create(std::vector<std::string> args) {
  if (args.empty()) return Usage();
  std::string file = args[0];
  bool shorthand = false;
  std::string caption, description;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--shorthand") {
      shorthand = true;
    } else if ((args[i] == "--caption" || args[i] == "--description") && i + 1 < args.size()) {
      std::string& target = args[i] == "--caption" ? caption : description;
      if (!Unescape(args[++i], target)) return Fail("malformed escape in " + args[i]);
    } else {
      return Usage();
    }
  }
  if (Exists(file)) return Fail("file exists already: " + file);
  CDictionary dictionary;
  if (!dictionary.Open(file.c_str())) return Fail("cannot create " + file);
  dictionary.SetType(shorthand ? DICT_TYPE_SHORTHAND : DICT_TYPE_WORDS);
  dictionary.SetCaption(caption.data(), static_cast<int>(caption.size()));
  dictionary.SetDescription(description.data(), static_cast<int>(description.size()));
  bool saved = dictionary.SaveInfo();
  dictionary.Close();
  return saved ? 0 : Fail("cannot write " + file);
}

int Info(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage();
  CDictionary dictionary;
  std::string error;
  if (!OpenExisting(dictionary, args[0], error)) return Fail(error);
  std::printf("type: %d\n", dictionary.GetType());
  std::printf("caption: %s\n", Escape(dictionary.GetCaptionText()).c_str());
  std::printf("description: %s\n", Escape(dictionary.GetDescription()).c_str());
  std::printf("entries: %d\n", dictionary.GetItemCount());
  std::printf("keycode: %d\n", dictionary.GetKeyCode());
  std::printf("datacode: %d\n", dictionary.GetDataCode());
  std::printf("editable: %d\n", (dictionary.GetEditFlags() & DICT_EDIT_ALLOWED) ? 1 : 0);
  std::printf("scrambled: %d\n", dictionary.GetScrambled());
  return 0;
}

int List(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage();
  CDictionary dictionary;
  std::string error;
  if (!OpenExisting(dictionary, args[0], error)) return Fail(error);
  // Every entry as stored: no length limits and no caption header.
  dictionary.SetKeyLengthLimits(0, INT_MAX);
  dictionary.SetCaptionHeader(0);
  DictItem item;
  for (bool found = dictionary.FindFirst("", item, DICT_MATCH_ALL); found; found = dictionary.FindNext(item))
    std::printf("%s\t%s\n", Escape(item.Key()).c_str(), Escape(item.Data()).c_str());
  return 0;
}

int Lookup(const std::vector<std::string>& args) {
  long flags = DICT_MATCH_START | DICT_WORDS | DICT_PHRASES, limit = -1, minLength = 1, maxLength = 500;
  bool shorthand = true;
  size_t i = 0;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
    long* target = nullptr;
    if (args[i] == "--no-shorthand") {
      shorthand = false;
      continue;
    }
    if (args[i] == "--flags") target = &flags;
    else if (args[i] == "--limit") target = &limit;
    else if (args[i] == "--min-length") target = &minLength;
    else if (args[i] == "--max-length") target = &maxLength;
    if (!target || i + 1 >= args.size() || !ParseNumber(args[i + 1], *target)) return Usage();
    ++i;
  }
  if (args.size() - i < 2) return Usage();
  std::string prefix;
  if (!Unescape(args[i], prefix)) return Fail("malformed escape in " + args[i]);
  std::vector<std::string> files(args.begin() + static_cast<long>(i) + 1, args.end());
  for (const std::string& f : files)
    if (!Exists(f)) return Fail("no such file: " + f);
  CDictionarySet set;
  set.SetKeyLengthLimits(static_cast<int32_t>(minLength), static_cast<int32_t>(maxLength));
  if (!set.LoadFiles(files, true)) return Fail("none of the files is a dictionary file");
  DictItem item;
  long shown = 0;
  for (bool found = set.FindFirst(prefix.c_str(), item, static_cast<int32_t>(flags), shorthand);
       found && (limit < 0 || shown < limit); found = set.FindNext(item), ++shown) {
    std::printf("%s\t%d\t%s\n", Escape(item.Key()).c_str(), item.type, Escape(item.Data()).c_str());
  }
  return 0;
}

int AddOrDelete(const std::vector<std::string>& args, bool add) {
  if (args.size() < 2 || args.size() > (add ? 3u : 2u)) return Usage();
  std::string key, data;
  if (!Unescape(args[1], key)) return Fail("malformed escape in " + args[1]);
  if (args.size() == 3 && !Unescape(args[2], data)) return Fail("malformed escape in " + args[2]);
  if (key.empty()) return Fail("the key is empty");
  CDictionary dictionary;
  std::string error;
  if (!OpenExisting(dictionary, args[0], error)) return Fail(error);
  if (add) {
    if (!dictionary.AddItem(DictItem(key, data), true))
      return Fail("entry refused: " + Escape(key) + " (read-only file, or text that cannot be stored whole)");
  } else if (!dictionary.DeleteItem(DictItem(key))) {
    return Fail("no entry " + Escape(key));
  }
  return dictionary.Commit() ? 0 : Fail("cannot write " + args[0]);
}

int ImportOrExport(const std::vector<std::string>& args, bool import) {
  if (args.size() != 2) return Usage();
  CDictionary dictionary;
  std::string error;
  if (!OpenExisting(dictionary, args[0], error)) return Fail(error);
  if (import && !Exists(args[1])) return Fail("no such file: " + args[1]);
  ConsoleProgress progress;
  int32_t count;
  if (import) {
    // Tagged text first; a file without tags is a plain word list.
    count = ImportTagged(dictionary, args[1].c_str(), &progress);
    if (count <= 0) count = ImportWordList(dictionary, args[1].c_str(), &progress);
  } else {
    count = ExportTagged(dictionary, args[1].c_str(), &progress);
  }
  if (count < 0) return Fail(std::string("cannot ") + (import ? "import " : "export to ") + args[1]);
  std::printf("%d\n", count);
  return 0;
}

// Word counts ("word<TAB>count" lines) become the entries' commonness.
int ImportCountList(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage();
  CDictionary dictionary;
  std::string error;
  if (!OpenExisting(dictionary, args[0], error)) return Fail(error);
  if (!Exists(args[1])) return Fail("no such file: " + args[1]);
  CountImport result;
  if (!ImportCounts(dictionary, args[1].c_str(), result)) return Fail("cannot import " + args[1] + " into " + args[0]);
  std::printf("%d words, %d added, %d lines skipped\n", result.words, result.added, result.skipped);
  return 0;
}

int Encrypt(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage();
  CDictionary probe;
  std::string error;
  if (!OpenExisting(probe, args[0], error)) return Fail(error);
  probe.Close();
  std::string target = args[0] + ".dic";
  if (!EncryptDictionary(args[0].c_str(), target.c_str())) return Fail("cannot write " + target);
  return 0;
}

int Learn(const std::string& command, const std::vector<std::string>& args) {
  const bool list = command == "learn-list";
  if (args.size() != (list ? 1u : 2u)) return Usage();
  if (command != "learn-import" && !Exists(args[0])) return Fail("no such file: " + args[0]);
  CAutoLearn learned;
  if (!learned.Open(args[0])) return Fail("cannot open " + args[0]);
  if (list) {
    for (learned.MoveFirst(); !learned.IsEOF(); learned.MoveNext())
      std::printf("%s\t%d\n", Escape(learned.strWord).c_str(), learned.nCount);
    return 0;
  }
  ConsoleProgress progress;
  std::int32_t count = 0;
  bool ok = command == "learn-import" ? learned.Import(args[1], &progress, &count)
                                      : learned.Export(args[1], &progress, &count);
  if (!ok) return Fail("cannot " + std::string(command == "learn-import" ? "import " : "export to ") + args[1]);
  std::printf("%d\n", count);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // --codepage N may stand anywhere.
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--codepage") continue;
    long codePage;
    if (i + 1 >= args.size() || !ParseNumber(args[i + 1], codePage)) return Usage();
    if (!platform::SetAnsiCodePage(static_cast<int>(codePage)))
      return Fail("code page " + args[i + 1] + " is not available");
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    --i;
  }
  if (args.empty()) return Usage();
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "create") return Create(args);
  if (command == "info") return Info(args);
  if (command == "list") return List(args);
  if (command == "lookup") return Lookup(args);
  if (command == "add") return AddOrDelete(args, true);
  if (command == "delete") return AddOrDelete(args, false);
  if (command == "import") return ImportOrExport(args, true);
  if (command == "export") return ImportOrExport(args, false);
  if (command == "import-counts") return ImportCountList(args);
  if (command == "encrypt") return Encrypt(args);
  if (command == "learn-list" || command == "learn-import" || command == "learn-export") return Learn(command, args);
  return Usage();
}
