#include "platform/win/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/win/FileSystem.h"
#include "platform/win/Threads.h"

FolderLock::~FolderLock()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

FolderLock::Outcome FolderLock::Acquire(LPCWSTR folder, const std::function<bool()>& stopped)
{
    if (m_descriptor < 0) {
        std::string native = NativePath(folder);
        m_descriptor = native.empty() ? -1 : ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_descriptor < 0)
            return Outcome::Unavailable;
    }
    for (;;) {
        if (stopped())
            return Outcome::Stopped;
        if (::flock(m_descriptor, LOCK_EX | LOCK_NB) == 0)
            return Outcome::Held;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return Outcome::Unavailable;
        Sleep(kRetryIntervalMilliseconds);
    }
}
