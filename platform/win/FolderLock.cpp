#include "platform/win/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/win/FileSystem.h"
#include "platform/win/Threads.h"

FolderLock::Outcome FolderLock::Acquire(LPCWSTR folder, const std::function<bool()>& stopped)
{
    if (!m_descriptor.IsOpen()) {
        std::string native = NativePath(folder);
        if (!native.empty())
            m_descriptor.Reset(::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!m_descriptor.IsOpen())
            return Outcome::Unavailable;
    }
    for (;;) {
        if (stopped())
            return Outcome::Stopped;
        if (::flock(m_descriptor.Get(), LOCK_EX | LOCK_NB) == 0)
            return Outcome::Held;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return Outcome::Unavailable;
        Sleep(kRetryIntervalMilliseconds);
    }
}
