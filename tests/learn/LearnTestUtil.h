#pragma once
// Helpers shared by the learning tests: a scratch folder per test, raw
// access to learning-file bytes and the records an engine holds.

#include "common/Files.h"
#include "learn/AutoLearn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace learn_test {

using testutil::ScratchDir;
using testutil::ReadFile;
using testutil::WriteFile;

// One 516-byte record image: the count little-endian, the word NUL-padded.
// A word of 512 bytes fills the field without a NUL.
inline std::string Record(std::int32_t count, std::string_view word)
{
    std::string r(516, '\0');
    const auto u = static_cast<std::uint32_t>(count);
    for (int i = 0; i < 4; ++i)
        r[static_cast<std::size_t>(i)] = static_cast<char>((u >> (8 * i)) & 0xFF);
    r.replace(4, word.size() > 512 ? 512 : word.size(), word.substr(0, 512));
    return r;
}

using Records = std::vector<std::pair<std::string, std::int32_t>>;

// The file image of the given records, in that order.
inline std::string FileOf(const Records& records)
{
    std::string bytes;
    for (const auto& [word, count] : records)
        bytes += Record(count, word);
    return bytes;
}

// An engine and its learning file in a fresh folder.
class LearnFixture : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string path = dir.File("AutoLearn.dic");
    CAutoLearn al;
};

// Appends the records through the engine's cursor, as the page does.
inline void AddRecords(CAutoLearn& al, const Records& records)
{
    for (const auto& [word, count] : records) {
        al.strWord = word;
        al.nCount = count;
        al.AddNew();
    }
}

// Every record from the first on; leaves the cursor at the end.
template <class Store>
Records AllRecords(Store& al)
{
    Records out;
    for (al.MoveFirst(); !al.IsEOF(); al.MoveNext())
        out.emplace_back(al.strWord, al.nCount);
    return out;
}

// The words FindFirst and then FindNext offer for prefix.
inline std::vector<std::string> Series(CAutoLearn& al, std::string_view prefix)
{
    std::vector<std::string> out;
    for (std::string w = al.FindFirst(prefix); !w.empty(); w = al.FindNext(prefix))
        out.push_back(w);
    return out;
}

}  // namespace learn_test
