// Feeds arbitrary bytes to the learning engine as a learning file and as an
// import file, runs learning and searches over it, and checks that what the
// engine holds is what the file holds: the records it lists are the records
// a fresh open reads back, and searches find only words that are there.

#include "learn/AutoLearn.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define QUILLET_GETPID _getpid
#else
#include <unistd.h>
#define QUILLET_GETPID getpid
#endif

namespace {

// A folder of this process's own, removed when the process ends.
struct ScratchFolder {
    ScratchFolder()
    {
        path = std::filesystem::temp_directory_path();
        path /= "quillet-learn-fuzz-" + std::to_string(QUILLET_GETPID());
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

std::string Scratch(const char* name)
{
    static const ScratchFolder folder;
    return (folder.path / name).string();
}

void Put(const std::string& path, std::string_view bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

using Records = std::vector<std::pair<std::string, std::int32_t>>;

Records List(CAutoLearn& al)
{
    Records out;
    for (al.MoveFirst(); !al.IsEOF(); al.MoveNext())
        out.emplace_back(al.strWord, al.nCount);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || size > 64 * 1024)
        return 0;
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t split = 2 + (std::size_t{data[0]} << 8 | data[1]) % (size - 1);
    const std::string_view fileBytes = all.substr(2, split - 2);
    const std::string_view text = all.substr(split);

    const std::string learnPath = Scratch("AutoLearn.dic");
    const std::string textPath = Scratch("import.txt");
    const std::string exportPath = Scratch("export.txt");
    Put(learnPath, fileBytes);
    Put(textPath, text);

    Records before;
    {
        CAutoLearn al;
        learn::AutoLearnOptions options;
        options.nMinLearnLength = 1;
        if (!al.Open(learnPath, options))
            std::abort();
        if (al.GetRecordCount() != static_cast<std::int32_t>(fileBytes.size() / 516))
            std::abort();
        std::int32_t imported = 0;
        al.Import(textPath, nullptr, &imported);

        // Every line of the text, as typed input; then the series for its start.
        std::size_t pos = 0;
        for (int n = 0; n < 64 && pos < text.size(); ++n) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            std::string line(text.substr(pos, end - pos));
            pos = end + 1;
            al.SaveInput(line + " ");
            std::string prefix = line.substr(0, 2);
            prefix = prefix.substr(0, prefix.find('\0'));  // texts end at a NUL
            std::int32_t guard = al.GetRecordCount() + 1;
            for (std::string w = al.FindFirst(prefix); !w.empty(); w = al.FindNext(prefix)) {
                if (w.compare(0, prefix.size(), prefix) != 0 || --guard < 0)
                    std::abort();
            }
        }
        before = List(al);
        if (static_cast<std::int32_t>(before.size()) != al.GetRecordCount())
            std::abort();
        std::int32_t exported = 0;
        if (!al.Export(exportPath, nullptr, &exported) ||
            exported != al.GetRecordCount())
            std::abort();
    }

    // What the engine listed is what a fresh open reads from the file.
    CAutoLearn again;
    if (!again.Open(learnPath))
        std::abort();
    Records after = List(again);
    if (after != before)
        std::abort();
    return 0;
}
