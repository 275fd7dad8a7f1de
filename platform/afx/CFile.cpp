#include "platform/afx/CFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/win/FileSystem.h"

BOOL CFile::Open(LPCWSTR path, UINT openFlags)
{
    Close();
    // O_NONBLOCK: opening a FIFO must not wait for the other end (O_NOCTTY: nor take a terminal).
    // Only a regular file is kept: a FIFO or a device would make reads and writes wait for good
    // or go nowhere. On a regular file the flag changes nothing.
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY | ((openFlags & modeWrite) ? O_WRONLY : O_RDONLY);
    if (openFlags & modeCreate)
        flags |= O_CREAT | O_TRUNC;
    std::string native = NativePath(path);
    UniqueDescriptor descriptor(native.empty() ? -1 : ::open(native.c_str(), flags, 0666));
    struct stat info{};
    if (!descriptor.IsOpen() || fstat(descriptor.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return FALSE;
    m_descriptor = std::move(descriptor);
    m_strFilePath = path;
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count)
{
    for (;;) {
        ssize_t n = ::read(m_descriptor.Get(), buffer, count);
        if (n >= 0)
            return static_cast<UINT>(n);
        if (errno != EINTR)
            throw CFileException(errno, m_strFilePath);
    }
}

void CFile::Write(const void* buffer, UINT count)
{
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        ssize_t n = ::write(m_descriptor.Get(), bytes, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw CFileException(errno, m_strFilePath);
        }
        bytes += n;
        count -= static_cast<UINT>(n);
    }
}

void CFile::Close()
{
    m_descriptor.Reset();
    m_strFilePath.Empty();
}
