#include "learn/LearnText.h"

#include <cstring>
#include <limits>

namespace learn {

std::string_view StoredWord(std::string_view word)
{
    const std::size_t nul = word.find('\0');
    if (nul != std::string_view::npos)
        word = word.substr(0, nul);
    if (word.size() > kMaxWordBytes)
        word = word.substr(0, kMaxWordBytes);
    return word;
}

void AppendExportLine(std::string& out, std::string_view word, std::int32_t count)
{
    char number[16];
    std::size_t n = 0;
    // Decimal by hand: the standard formatting functions follow the locale.
    std::uint32_t magnitude = count < 0 ? 0u - static_cast<std::uint32_t>(count)
                                        : static_cast<std::uint32_t>(count);
    do {
        number[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (count < 0)
        number[n++] = '-';
    const std::size_t nul = word.find('\0');
    out.append(word.substr(0, nul));
    out.push_back('\t');
    while (n > 0)
        out.push_back(number[--n]);
    out.append("\r\r\n");
}

bool ImportLineParser::Push(char c)
{
    if (c == '\n') {
        m_pendingCR = false;  // CR LF is one line end
        CompleteLine();
        return true;
    }
    if (m_pendingCR) {
        m_pendingCR = false;
        Emit('\r');
    }
    if (c == '\r')
        m_pendingCR = true;
    else
        Emit(c);
    return false;
}

bool ImportLineParser::Finish()
{
    if (m_pendingCR) {
        m_pendingCR = false;
        Emit('\r');
    }
    if (m_length == 0)
        return false;  // the text ended with a line feed (or was empty)
    CompleteLine();
    return true;
}

void ImportLineParser::Emit(char c)
{
    if (m_head.size() < kMaxWordBytes)
        m_head.push_back(c);
    if (c == '\t') {
        m_hasTab = true;
        m_lastTab = m_length;
        m_numberState = NumberState::Blank;
        m_negative = false;
        m_textAfterTab = false;
        m_magnitude = 0;
    } else {
        m_textAfterTab = true;
        switch (m_numberState) {
        case NumberState::Blank:
            if (c == ' ' || c == '\n' || c == '\v' || c == '\f' || c == '\r')
                break;
            if (c == '+' || c == '-') {
                m_negative = c == '-';
                m_numberState = NumberState::Sign;
                break;
            }
            [[fallthrough]];
        case NumberState::Sign:
        case NumberState::Digits:
            if (c >= '0' && c <= '9') {
                m_numberState = NumberState::Digits;
                // Saturate well above the 32-bit range; the result is clamped.
                if (m_magnitude < (std::int64_t{1} << 40))
                    m_magnitude = m_magnitude * 10 + (c - '0');
            } else {
                m_numberState = NumberState::Done;
            }
            break;
        case NumberState::Done:
            break;
        }
    }
    ++m_length;
}

void ImportLineParser::CompleteLine()
{
    m_doneLength = m_length;
    const bool splitAtTab = m_hasTab && m_lastTab > 0;
    std::string_view word = m_head;
    if (splitAtTab && m_lastTab < word.size())
        word = word.substr(0, static_cast<std::size_t>(m_lastTab));
    m_doneWord.assign(StoredWord(word));

    if (!splitAtTab || !m_textAfterTab) {
        m_doneCount = 1;
    } else {
        std::int64_t value = m_negative ? -m_magnitude : m_magnitude;
        // Out-of-range numbers stick at the limits, as the system's own
        // conversion does.
        if (value > std::numeric_limits<std::int32_t>::max())
            value = std::numeric_limits<std::int32_t>::max();
        if (value < std::numeric_limits<std::int32_t>::min())
            value = std::numeric_limits<std::int32_t>::min();
        m_doneCount = static_cast<std::int32_t>(value);
    }

    m_head.clear();
    m_length = 0;
    m_lastTab = 0;
    m_hasTab = false;
    m_numberState = NumberState::Blank;
    m_negative = false;
    m_textAfterTab = false;
    m_magnitude = 0;
}

}  // namespace learn
