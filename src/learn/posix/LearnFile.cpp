#include "learn/LearnFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace learn {

bool LearnFile::Open(const std::string& path, bool truncate)
{
    Close();
    int flags = O_RDWR | O_CREAT | O_CLOEXEC;
    if (truncate)
        flags |= O_TRUNC;
    // The learning file is a record of what the user typed: nobody else may read it.
    int fd;
    do {
        fd = ::open(path.c_str(), flags, S_IRUSR | S_IWUSR);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void LearnFile::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

std::int64_t LearnFile::Size() const
{
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::size_t LearnFile::ReadAt(std::int64_t offset, void* buffer, std::size_t size) const
{
    if (m_fd < 0 || offset < 0)
        return 0;
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(m_fd, out + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool LearnFile::WriteAt(std::int64_t offset, const void* data, std::size_t size)
{
    if (m_fd < 0 || offset < 0)
        return false;
    const auto* in = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::pwrite(m_fd, in + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool MoveFileOver(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

}  // namespace learn
