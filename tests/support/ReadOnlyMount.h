// A folder made read-only for its life by a read-only bind mount of itself, so that it refuses
// writes even to root (who ignores permission bits). Mounted() is false where mounting is not
// permitted; a test then skips. The mount is detached at the end, even while a process works in it.
#pragma once

#include <filesystem>

class ReadOnlyMount {
public:
    explicit ReadOnlyMount(const std::filesystem::path& folder);
    ReadOnlyMount(const ReadOnlyMount&) = delete;
    ReadOnlyMount& operator=(const ReadOnlyMount&) = delete;
    ~ReadOnlyMount();

    bool Mounted() const { return m_mounted; }

private:
    std::filesystem::path m_folder;
    bool m_mounted = false;
};
