// The engine against a reference that does everything the slow way: one
// record image, one cursor, every search a pass over the file bytes in order.
// After any sequence of operations both must give the same answers, leave the
// cursor in the same state and hold the same bytes in the file.

#include "learn/AutoLearn.h"
#include "LearnTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

using learn_test::AllRecords;
using learn_test::Record;
using learn_test::ReadFile;
using learn_test::ScratchDir;
using learn_test::WriteFile;

namespace {

constexpr std::size_t kRec = 516;

class Reference {
public:
    std::string file;  // the learning file's bytes
    bool open = false;
    std::int32_t nCurrent = 0;
    std::int32_t nRecords = 0;
    std::int32_t nCount = 0;
    std::string strWord;
    std::string record = std::string(kRec, '\0');
    std::int32_t nMinLength = 3;
    bool bEnable = true;
    std::string separators = std::string(learn::kDefaultSeparators) + "\t\r\n";

    void Open(const std::string& bytes, const learn::AutoLearnOptions& options)
    {
        Close();
        file = bytes;
        open = true;
        nRecords = static_cast<std::int32_t>(file.size() / kRec);
        if (nRecords > 0)
            Read();
        bEnable = options.bEnableAutolearn;
        nMinLength = options.nMinLearnLength;
        SetSeparators(options.strSeparate);
    }
    void Close()
    {
        open = false;
        nCurrent = 0;
        nRecords = 0;
    }
    void SetSeparators(const std::string& text)
    {
        const std::string t = text.substr(0, text.find('\0'));
        if (!t.empty())
            separators = t + "\t\r\n";
    }
    // Past the end the last record read stays unpacked.
    void Read()
    {
        const std::size_t at = static_cast<std::size_t>(nCurrent) * kRec;
        if (at + kRec <= file.size())
            record = file.substr(at, kRec);
        std::uint32_t u = 0;
        for (int i = 3; i >= 0; --i)
            u = u << 8 | static_cast<unsigned char>(record[static_cast<std::size_t>(i)]);
        nCount = static_cast<std::int32_t>(u);
        strWord = record.substr(4, std::min(record.find('\0', 4), kRec) - 4);
    }
    void Write()
    {
        record = Record(nCount, strWord.substr(0, strWord.find('\0')).substr(0, 511));
        const std::size_t at = static_cast<std::size_t>(nCurrent) * kRec;
        file.resize(std::max(file.size(), at + kRec));
        file.replace(at, kRec, record);
    }
    bool IsEOF() const { return !open || nCurrent == nRecords; }
    void MoveFirst()
    {
        if (!open)
            return;
        nCurrent = 0;
        Read();
    }
    void MoveNext()
    {
        if (IsEOF())
            return;
        ++nCurrent;
        Read();
    }
    void AddNew()
    {
        if (!open)
            return;
        nCurrent = nRecords;
        ++nRecords;
        Write();
    }
    void Update()
    {
        if (!IsEOF())
            Write();
    }
    void DeleteAll()
    {
        if (!open)
            return;
        file.clear();
        nRecords = 0;
        nCurrent = 0;
    }
    // Control and high bytes in front of the text go, then the separators at
    // its end; what follows the last separator left is the word.
    void SaveInput(std::string text)
    {
        text = text.substr(0, text.find('\0'));
        if (!open || !bEnable || text.empty() || separators.find(text.back()) == std::string::npos)
            return;
        std::size_t begin = 0;
        while (begin < text.size() && (static_cast<signed char>(text[begin]) < 32 ||
                                       separators.find(text[begin]) != std::string::npos))
            ++begin;
        text.erase(0, begin);
        text.erase(text.find_last_not_of(separators) + 1);
        text.erase(0, text.find_last_of(separators) + 1);
        if (text.empty() || static_cast<std::int64_t>(text.size()) < nMinLength)
            return;
        for (MoveFirst(); !IsEOF(); MoveNext()) {
            if (strWord == text) {
                nCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(nCount) + 1u);
                Update();
                return;
            }
        }
        strWord = text;
        nCount = 1;
        AddNew();
    }
    std::string FindFirst(const std::string& prefix)
    {
        if (!open || !bEnable)
            return {};
        MoveFirst();
        return FindNext(prefix);
    }
    std::string FindNext(const std::string& input)
    {
        const std::string prefix = input.substr(0, input.find('\0'));
        while (!IsEOF()) {
            const bool found = strWord.compare(0, prefix.size(), prefix) == 0 &&
                               strWord.size() >= prefix.size() && nCount >= 1;
            const std::string word = strWord;
            MoveNext();
            if (found)
                return word;
        }
        return {};
    }
    std::string Export()
    {
        std::string out;
        for (MoveFirst(); !IsEOF(); MoveNext())
            out += strWord + "\t" + std::to_string(nCount) + "\r\r\n";
        return out;
    }
    void Import(const std::string& text)
    {
        if (!open)
            return;
        for (std::size_t pos = 0; pos < text.size();) {
            const std::size_t lf = text.find('\n', pos);
            std::string line = text.substr(pos, lf == std::string::npos ? lf : lf - pos);
            pos = lf == std::string::npos ? text.size() : lf + 1;
            if (lf != std::string::npos && !line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty())
                break;
            const std::size_t tab = line.rfind('\t');
            std::string word = line;
            std::int32_t count = 1;
            if (tab != std::string::npos && tab > 0) {
                word = line.substr(0, tab);
                const std::string countText = line.substr(tab + 1);
                if (!countText.empty())
                    count = static_cast<std::int32_t>(std::clamp<long long>(
                        std::strtoll(countText.c_str(), nullptr, 10),
                        std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max()));
            }
            strWord = word.substr(0, word.find('\0')).substr(0, 511);
            nCount = count;
            AddNew();
        }
    }
};

class Fuzzer {
public:
    explicit Fuzzer(unsigned seed) : m_rng(seed) {}
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    template <std::size_t N>
    std::string OneOf(const char* const (&choices)[N])
    {
        return choices[Pick(static_cast<int>(N))];
    }
    std::string Text()
    {
        static const char* const pieces[] = {"a",  "b",  "he", "hel", "help", "x",    " ",  ",",
                                             ".",  "\t", "\n", "\xe9", "\x01", "A",   "#",  "'",
                                             "lo", "p",  "hello"};
        if (Pick(40) == 0)
            return std::string(505 + static_cast<std::size_t>(Pick(12)), 'h') + " ";
        std::string s;
        for (int n = Pick(6); n > 0; --n)
            s += OneOf(pieces);
        if (Pick(3) != 0)
            s += Pick(2) ? " " : ",";
        return s;
    }
    std::string Prefix()
    {
        static const char* const prefixes[] = {"", "h", "he", "hel", "a", "x", "\xe9", "A", "hh"};
        return OneOf(prefixes);
    }
    std::string ImportText()
    {
        static const char* const pieces[] = {"he", "\t", "1", "-2", "\r", "\n", "\r\n", "x", "\t7"};
        std::string s;
        for (int n = Pick(20); n > 0; --n)
            s += OneOf(pieces);
        return s;
    }

private:
    std::mt19937 m_rng;
};

void ExpectSameState(CAutoLearn& al, const Reference& ref, const std::string& path)
{
    ASSERT_EQ(al.IsOpen(), ref.open);
    ASSERT_EQ(al.GetRecordCount(), ref.nRecords);
    ASSERT_EQ(al.GetCurrent(), ref.nCurrent);
    ASSERT_EQ(al.IsEOF(), ref.IsEOF());
    ASSERT_EQ(al.nCount, ref.nCount);
    ASSERT_EQ(al.strWord, ref.strWord);
    ASSERT_EQ(ReadFile(path), ref.file);
}

void RunSequence(unsigned seed, int steps)
{
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    ScratchDir dir;
    const std::string path = dir.File("AutoLearn.dic");
    const std::string textPath = dir.File("exchange.txt");
    Fuzzer fz(seed);

    // Start from a file with some records and, sometimes, a torn tail.
    std::string initial;
    for (int n = fz.Pick(6); n > 0; --n)
        initial += Record(fz.Pick(4) - 1, fz.Text().substr(0, 6));
    if (fz.Pick(2))
        initial += std::string(static_cast<std::size_t>(fz.Pick(515) + 1), 'T');
    WriteFile(path, initial);

    CAutoLearn al;
    Reference ref;
    learn::AutoLearnOptions options;
    options.nMinLearnLength = 2;
    ASSERT_TRUE(al.Open(path, options));
    ref.Open(initial, options);
    // The same operation on both, or the same question to both.
    const auto both = [&](auto&& operation) {
        operation(al);
        operation(ref);
    };
    const auto same = [&](auto&& question) { ASSERT_EQ(question(al), question(ref)); };

    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE(::testing::Message() << "step " << step);
        const int op = fz.Pick(100);
        if (op < 30) {
            const std::string text = fz.Text();
            both([&](auto& m) { m.SaveInput(text); });
        } else if (op < 60) {
            const std::string prefix = fz.Prefix();
            same([&](auto& m) { return op < 45 ? m.FindFirst(prefix) : m.FindNext(prefix); });
        } else if (op < 70) {
            both([&](auto& m) { op < 64 ? m.MoveFirst() : m.MoveNext(); });
        } else if (op < 76) {
            // The page edits the fields, then adds, updates, or searches on.
            const std::string word = fz.Text().substr(0, 8);
            const std::int32_t count = fz.Pick(5) - 2;
            both([&](auto& m) {
                m.strWord = word;
                m.nCount = count;
            });
            const int what = fz.Pick(3);
            if (what < 2) {
                both([&](auto& m) { what == 0 ? m.AddNew() : m.Update(); });
            } else {
                const std::string prefix = fz.Prefix();
                same([&](auto& m) { return m.FindNext(prefix); });
            }
        } else if (op < 78) {
            both([](auto& m) { m.DeleteAll(); });
        } else if (op < 82) {
            const std::string text = fz.ImportText();
            WriteFile(textPath, text);
            al.Import(textPath);
            ref.Import(text);
        } else if (op < 85) {
            ASSERT_TRUE(al.Export(textPath));
            ASSERT_EQ(ReadFile(textPath), ref.Export());
        } else if (op < 88) {
            al.Close();
            ref.Close();
            ASSERT_TRUE(al.Open(path, options));
            ref.Open(ReadFile(path), options);
        } else if (op < 92) {
            al.nMinLength = ref.nMinLength = fz.Pick(5) - 1;
        } else if (op < 95) {
            al.bEnable = ref.bEnable = fz.Pick(4) != 0;
        } else {
            static const char* const sets[] = {"", " ", " ,.", "#", "; ',.!\"?", "e"};
            const std::string s = fz.OneOf(sets);
            both([&](auto& m) { m.SetSeparators(s); });
        }
        ExpectSameState(al, ref, path);
        if (::testing::Test::HasFatalFailure())
            return;
    }

    // A fresh engine reads back what the reference holds.
    CAutoLearn again;
    ASSERT_TRUE(again.Open(path, options));
    Reference fresh;
    fresh.Open(ref.file, options);
    EXPECT_EQ(AllRecords(again), AllRecords(fresh));
}

TEST(ModelCheck, RandomOperationSequencesMatchTheReference)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        RunSequence(seed, 250);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

}  // namespace
