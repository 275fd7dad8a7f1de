#include "tests/support/TemporaryFolder.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>

TemporaryFolder::TemporaryFolder() : m_previous(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zorv-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("temporary folder: cannot make " + pattern);
    m_path = pattern;
    std::filesystem::current_path(m_path);
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TemporaryFolder::WriteFile(const std::filesystem::path& relative, std::string_view content) const
{
    std::filesystem::path file = m_path / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary);
    stream.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!stream)
        throw std::runtime_error("temporary folder: cannot write " + file.string());
    return file;
}
