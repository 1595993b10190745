#pragma once
// The text exchange format of the learned words: one word per line, a tab,
// then its type count in decimal.
//
// Export lines end with CR CR LF. The first exporter wrote "\r\n" through a
// text-mode stream, which turned the line feed into CR LF again; files in
// users' hands end their lines that way and importers rely on it.
//
// Import reads lines as a text-mode stream does (CR LF ends a line, the line
// feed is removed, a lone CR is an ordinary byte). The count is the leading
// decimal number of what follows the line's last tab (0 when it does not
// start with one) and the word is what precedes that tab. A line without a
// tab, or whose last tab is its first byte, is all word with the count 1; a
// line that ends with its last tab also gets the count 1.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace learn {

// Longest word a record holds, in bytes.
inline constexpr std::size_t kMaxWordBytes = 511;

// The bytes a record keeps of a word: up to the first NUL, at most 511.
std::string_view StoredWord(std::string_view word);

// Appends one export line for word (its bytes up to a NUL) and count to out.
void AppendExportLine(std::string& out, std::string_view word, std::int32_t count);

// Splits import text into lines and each line into word and count, one byte
// at a time, with bounded memory whatever the length of a line.
class ImportLineParser {
public:
    // Feeds one byte. Returns true when the byte completed a line, which is
    // then available through LineLength, Word and Count until the next call.
    bool Push(char c);
    // Ends the input. Returns true when a last line without a line feed was
    // pending and is now available.
    bool Finish();

    // Length of the completed line in bytes (an empty line ends an import).
    std::uint64_t LineLength() const { return m_doneLength; }
    // The word as a record keeps it (see StoredWord).
    const std::string& Word() const { return m_doneWord; }
    std::int32_t Count() const { return m_doneCount; }

private:
    void Emit(char c);
    void CompleteLine();

    // The line being read.
    std::string m_head;           // its first bytes, as many as a word can keep
    std::uint64_t m_length = 0;   // bytes so far
    std::uint64_t m_lastTab = 0;  // position of the last tab
    bool m_hasTab = false;
    bool m_pendingCR = false;     // a CR that may be the start of CR LF
    // Leading decimal number of the text after the last tab.
    enum class NumberState { Blank, Sign, Digits, Done };
    NumberState m_numberState = NumberState::Blank;
    bool m_negative = false;
    bool m_textAfterTab = false;
    std::int64_t m_magnitude = 0;

    // The line last completed.
    std::uint64_t m_doneLength = 0;
    std::string m_doneWord;
    std::int32_t m_doneCount = 0;
};

}  // namespace learn
