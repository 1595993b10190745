#include "learn/LearnFile.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace learn {

// The runtime's low-level file calls take ANSI paths and do no buffering of
// their own, so a write is with the system as soon as it returns.

bool LearnFile::Open(const std::string& path, bool truncate)
{
    Close();
    int flags = _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT;
    if (truncate)
        flags |= _O_TRUNC;
    int fd = ::_open(path.c_str(), flags, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return false;
    struct _stat64 st {};
    if (::_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFREG) == 0) {
        ::_close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void LearnFile::Close()
{
    if (m_fd >= 0) {
        ::_close(m_fd);
        m_fd = -1;
    }
}

std::int64_t LearnFile::Size() const
{
    struct _stat64 st {};
    if (m_fd < 0 || ::_fstat64(m_fd, &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::size_t LearnFile::ReadAt(std::int64_t offset, void* buffer, std::size_t size) const
{
    if (m_fd < 0 || offset < 0 || ::_lseeki64(m_fd, offset, SEEK_SET) != offset)
        return 0;
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        std::size_t chunk = size - done;
        if (chunk > (1u << 30))
            chunk = 1u << 30;
        int n = ::_read(m_fd, out + done, static_cast<unsigned>(chunk));
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool LearnFile::WriteAt(std::int64_t offset, const void* data, std::size_t size)
{
    if (m_fd < 0 || offset < 0 || ::_lseeki64(m_fd, offset, SEEK_SET) != offset)
        return false;
    const auto* in = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        std::size_t chunk = size - done;
        if (chunk > (1u << 30))
            chunk = 1u << 30;
        int n = ::_write(m_fd, in + done, static_cast<unsigned>(chunk));
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool MoveFileOver(const std::string& from, const std::string& to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) != 0;
}

}  // namespace learn
