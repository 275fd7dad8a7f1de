// A folder held by one process at a time. Windows offers a named mutex for this, which the
// system abandons when its owner dies; here it is flock(2) on the folder itself, which the kernel
// drops with the holder's last descriptor, however the process ends. It needs no write
// permission and leaves no file behind. Advisory: only the processes that ask for it wait.
#pragma once

#include <functional>

#include "platform/win/UniqueDescriptor.h"
#include "platform/win/WinTypes.h"

class FolderLock {
public:
    enum class Outcome { Held, Stopped, Unavailable };
    // How long a wait sleeps between two tries and two questions to stopped.
    static constexpr DWORD kRetryIntervalMilliseconds = 50;

    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    // Lets the folder go.
    ~FolderLock() = default;

    // Waits until this object holds the folder (a launcher path), asking stopped before each try:
    // Stopped once it gives true, Unavailable when the folder cannot be opened or locked at all
    // (a file system without locks). Another object, in this process or another, that holds the
    // folder keeps it waiting.
    Outcome Acquire(LPCWSTR folder, const std::function<bool()>& stopped);

private:
    UniqueDescriptor m_descriptor;
};
