#include "dict/ImportExport.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "dict/Dictionary.h"
#include "platform/CodePage.h"

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

namespace {

// "word<TAB>count[<TAB>...]" with the line break removed; false for a line
// that is not one.
bool ParseCountLine(const std::string& line, std::string& word, int32_t& value) {
  const size_t tab = line.find('\t');
  if (tab == 0 || tab == std::string::npos) return false;
  word = line.substr(0, tab);
  for (char c : word)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  const size_t end = std::min(line.find('\t', tab + 1), line.size());
  if (end == tab + 1) return false;
  uint64_t count = 0;
  for (size_t i = tab + 1; i < end; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
    count = count * 10 + static_cast<uint64_t>(line[i] - '0');
    if (count > UINT32_MAX) return false;
  }
  value = static_cast<int32_t>(std::min<uint64_t>(count, INT32_MAX));
  return true;
}

}  // namespace

bool ImportCounts(CDictionary& dictionary, const char* filePath, CountImport& result) {
  result = CountImport{};
  if (filePath == nullptr || *filePath == '\0' || !dictionary.IsOpen() || dictionary.IsReadOnly()) return false;
  File file(std::fopen(filePath, "rb"));
  if (!file) return false;
  std::vector<std::pair<std::string, int32_t>> values;
  std::string line, word;
  bool longLine = false;  // cut short: its count cannot be trusted
  const int32_t savedMin = dictionary.GetMinKeyLength(), savedMax = dictionary.GetMaxKeyLength();
  const int32_t savedHeader = dictionary.GetCaptionHeader();
  dictionary.SetKeyLengthLimits(0, INT32_MAX);
  dictionary.SetCaptionHeader(0);
  auto takeLine = [&] {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    int32_t value = 0;
    if (line.empty()) {
      // blank lines are neither words nor faults
    } else if (longLine || !ParseCountLine(line, word, value)) {
      ++result.skipped;
    } else {
      // The entry as stored decides the key the value belongs to: a word
      // held in other letter case keeps its own.
      DictItem found;
      const std::string lowered = platform::MbsLower(word);
      if (dictionary.FindExact(lowered.c_str(), found, DICT_MATCH_ALL)) {
        values.emplace_back(std::string(found.Key()), value);
        ++result.words;
      } else if (dictionary.AddItem(DictItem(word, {}, dictionary.GetType()), true)) {
        values.emplace_back(word, value);
        ++result.words;
        ++result.added;
      } else {
        ++result.skipped;
      }
    }
    line.clear();
    longLine = false;
  };
  std::vector<char> chunk(kChunkSize);
  for (size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0;) {
    for (size_t i = 0; i < got; ++i) {
      if (chunk[i] == '\n') takeLine();
      else if (line.size() < static_cast<size_t>(kMaxImportWordLength) + 16) line += chunk[i];
      else longLine = true;
    }
  }
  takeLine();
  dictionary.SetKeyLengthLimits(savedMin, savedMax);
  dictionary.SetCaptionHeader(savedHeader);
  return dictionary.SetCommonness(values);
}
