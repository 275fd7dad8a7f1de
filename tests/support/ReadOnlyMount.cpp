#include "tests/support/ReadOnlyMount.h"

#include <sys/mount.h>

ReadOnlyMount::ReadOnlyMount(const std::filesystem::path& folder) : m_folder(folder)
{
    const char* path = m_folder.c_str();
    if (::mount(path, path, nullptr, MS_BIND, nullptr) != 0)
        return;
    m_mounted = true;
    // A bind mount takes its flags only when it is mounted again.
    if (::mount(nullptr, path, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        ::umount2(path, MNT_DETACH);
        m_mounted = false;
    }
}

ReadOnlyMount::~ReadOnlyMount()
{
    if (m_mounted)
        ::umount2(m_folder.c_str(), MNT_DETACH);
}
