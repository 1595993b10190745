#include "dict/import_export.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "dict/dictionary.h"
#include "platform/codepage.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

constexpr size_t kChunkSize = 10240;

bool WriteAll(std::FILE* file, const char* bytes, size_t length) {
  return length == 0 || std::fwrite(bytes, 1, length, file) == length;
}

// Reads a file line by line as text: lines end at LF, a CR right before the
// LF belongs to the line end, and a line ends at its first NUL byte as a text
// line would.
class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) {}

  bool Next(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
      if (pos_ == end_) {
        end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        pos_ = 0;
        if (end_ == 0) break;
      }
      any = true;
      const char* start = buffer_.data() + pos_;
      const void* newline = std::memchr(start, '\n', end_ - pos_);
      if (newline != nullptr) {
        const size_t n = static_cast<size_t>(static_cast<const char*>(newline) - start);
        line.append(start, n);
        pos_ += n + 1;
        break;
      }
      line.append(start, end_ - pos_);
      pos_ = end_;
    }
    if (!any) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t zero = line.find('\0');
    if (zero != std::string::npos) line.resize(zero);
    return true;
  }

 private:
  std::FILE* file_;
  std::array<char, 65536> buffer_{};
  size_t pos_ = 0;
  size_t end_ = 0;
};

}  // namespace

int32_t ExportTagged(CDictionary& dictionary, const char* filePath, WaitProgress* wait) {
  if (filePath == nullptr || *filePath == '\0' || !dictionary.IsOpen()) return 0;
  File file(std::fopen(filePath, "wb"));
  if (!file) return 0;
  std::vector<char> buffer(1 << 16);
  std::setvbuf(file.get(), buffer.data(), _IOFBF, buffer.size());
  const char* keyTag;
  const char* dataTag;
  if (dictionary.GetType() == DICT_TYPE_WORDS) {
    keyTag = "<key>";
    dataTag = "<data>";
  } else if (dictionary.GetType() == DICT_TYPE_SHORTHAND) {
    keyTag = "<shortkey>";
    dataTag = "<replacement text>";
  } else {
    return 0;
  }
  const size_t keyTagLength = std::strlen(keyTag);
  const size_t dataTagLength = std::strlen(dataTag);

  // Exported data carries no caption header.
  const int32_t captionHeader = dictionary.GetCaptionHeader();
  dictionary.SetCaptionHeader(0);
  int32_t count = 0;
  DictItem item;
  for (bool found = dictionary.FindFirst("", item, kDefaultMatchFlags); found;
       found = dictionary.FindNext(item)) {
    const std::string_view data = item.Data();
    bool written = WriteAll(file.get(), keyTag, keyTagLength) &&
                   WriteAll(file.get(), item.key.get(), item.key.get() ? static_cast<size_t>(item.keyLength) : 0) &&
                   WriteAll(file.get(), "\r\n", 2) && WriteAll(file.get(), dataTag, dataTagLength) &&
                   WriteAll(file.get(), data.data(), data.size()) && WriteAll(file.get(), "\r\n", 2);
    if (!written) break;
    ++count;
    if (wait != nullptr && count > 1) {
      if (count % 10 == 0) wait->SetText(WaitCountText(kExportedSoFar, count));
      wait->PumpMessages();
      if (wait->IsCancelled()) break;
    }
  }
  file.reset();
  dictionary.SetCaptionHeader(captionHeader);
  return count;
}

int32_t ImportTagged(CDictionary& dictionary, const char* filePath, WaitProgress* wait) {
  if (filePath == nullptr || *filePath == '\0' || !dictionary.IsOpen()) return 0;
  File file(std::fopen(filePath, "rb"));
  if (!file) return 0;
  LineReader reader(file.get());
  std::string pendingKey;
  std::string pendingData;
  int32_t count = 0;
  // Every pair read counts, also one the dictionary refuses to store: the
  // count tells whether the file was tagged text at all.
  auto addPending = [&] {
    DictItem item(pendingKey, pendingData, dictionary.GetType());
    dictionary.AddItem(item, true);
    ++count;
  };
  auto after = [](const std::string& line, size_t at, size_t tagLength) {
    return line.substr(at + tagLength);
  };

  std::string line;
  while (reader.Next(line)) {
    if (wait != nullptr) {
      if (count % 10 == 0) wait->SetText(WaitCountText(kImportedSoFar, count));
      wait->PumpMessages();
      if (wait->IsCancelled()) break;
    }
    size_t at;
    if ((at = line.find("<key>")) != std::string::npos ||
        (at = line.find("<shortkey>")) != std::string::npos) {
      const size_t tagLength = line.compare(at, 5, "<key>") == 0 ? 5 : 10;
      if (!pendingKey.empty()) {
        addPending();
        pendingKey.clear();
        pendingData.clear();
      }
      pendingKey += after(line, at, tagLength);
    } else if ((at = line.find("<data>")) != std::string::npos ||
               (at = line.find("<replacement text>")) != std::string::npos) {
      const size_t tagLength = line.compare(at, 6, "<data>") == 0 ? 6 : 18;
      pendingData += after(line, at, tagLength);
    } else {
      pendingData += "\r\n";
      pendingData += line;
      if (pendingKey.empty()) break;  // not tagged text
    }
  }
  if (!pendingKey.empty()) addPending();
  file.reset();
  dictionary.Commit();
  return count;
}

int32_t ImportWordList(CDictionary& dictionary, const char* filePath, WaitProgress* wait) {
  if (filePath == nullptr || *filePath == '\0' || !dictionary.IsOpen()) return 0;
  File file(std::fopen(filePath, "rb"));
  if (!file) return 0;
  std::array<bool, 256> wordByte{};
  for (int b = 0; b < 256; ++b) {
    const auto c = static_cast<unsigned char>(b);
    wordByte[c] = platform::IsCharAlpha(c) || platform::IsCharAlphaNumeric(c) || c == '_' || c == '-';
  }

  int32_t count = 0;
  std::string word;
  bool tooLong = false;  // the current run outgrew the word buffer: skip it
  auto endWord = [&] {
    if (!word.empty() && !tooLong) {
      DictItem item(word, {}, dictionary.GetType());
      if (dictionary.AddItem(item, true)) ++count;
    }
    word.clear();
    tooLong = false;
  };

  std::vector<char> chunk(kChunkSize);
  bool cancelled = false;
  while (!cancelled) {
    const size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
    if (got == 0) break;
    for (size_t i = 0; i < got; ++i) {
      const auto c = static_cast<unsigned char>(chunk[i]);
      if (wordByte[c]) {
        if (static_cast<int32_t>(word.size()) < kMaxImportWordLength) {
          word += static_cast<char>(c);
        } else {
          tooLong = true;
        }
      } else {
        endWord();
      }
      if (wait != nullptr && wait->IsCancelled()) {
        cancelled = true;
        break;
      }
    }
    // Once per chunk the wait window gets to handle its Cancel button.
    if (wait != nullptr && !cancelled) wait->PumpMessages();
  }
  endWord();
  file.reset();
  dictionary.Commit();
  return count;
}
