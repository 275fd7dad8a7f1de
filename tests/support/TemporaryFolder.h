// A fresh folder in the system's temp folder that is the current directory while the object
// lives; the previous current directory comes back and the folder goes, with all in it, at the end.
#pragma once

#include <filesystem>
#include <string_view>

class TemporaryFolder {
public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    const std::filesystem::path& Path() const { return m_path; }
    // Writes a file at a path relative to the folder, making the folders on the way.
    std::filesystem::path WriteFile(const std::filesystem::path& relative, std::string_view content) const;

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previous;
};
