#pragma once
// The learning file as the engine sees it: one file opened for reading and
// writing at explicit offsets. Nothing is buffered in user space, so a write
// has reached the operating system when WriteAt returns.
//
// Owns its descriptor and closes it in the destructor. Failures are false or
// 0, never exceptions. Paths are 8-bit strings as the rest of the program
// passes them (the ANSI code page on Windows).

#include <cstddef>
#include <cstdint>
#include <string>

namespace learn {

class LearnFile {
public:
    LearnFile() = default;
    ~LearnFile() { Close(); }
    LearnFile(const LearnFile&) = delete;
    LearnFile& operator=(const LearnFile&) = delete;
    LearnFile(LearnFile&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    LearnFile& operator=(LearnFile&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_fd = other.m_fd;
            other.m_fd = -1;
        }
        return *this;
    }

    // Opens for reading and writing, creating the file when it is missing.
    // With truncate the contents are thrown away. A new file is readable and
    // writable by its owner only where the system has such permissions.
    bool Open(const std::string& path, bool truncate);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    // Current length in bytes, or -1.
    std::int64_t Size() const;
    // Reads up to size bytes at offset; returns the number read.
    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) const;
    // Writes all bytes at offset; false when the system took fewer.
    bool WriteAt(std::int64_t offset, const void* data, std::size_t size);

private:
    int m_fd = -1;
};

// Puts the file `from` in the place of `to`, replacing it in one step where
// the system can (a rename over it); false leaves `to` as it was.
bool MoveFileOver(const std::string& from, const std::string& to);
// Removes a file; false when it could not be removed.
bool RemoveFile(const std::string& path);

}  // namespace learn
