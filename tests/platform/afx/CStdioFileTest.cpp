#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/afx/CStdioFile.h"
#include "platform/win/UniqueDescriptor.h"
#include "tests/support/FileSizeLimit.h"

namespace {

std::filesystem::path TempFile(const std::string& bytes)
{
    char pattern[] = "/tmp/zorv-text-XXXXXX";
    UniqueDescriptor file(mkstemp(pattern));
    EXPECT_EQ(write(file.Get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    return pattern;
}

std::vector<std::wstring> ReadLines(const std::string& bytes)
{
    auto path = TempFile(bytes);
    CStdioFile file;
    EXPECT_TRUE(file.Open(CString(path.wstring()), CFile::modeRead | CFile::typeText));
    std::vector<std::wstring> lines;
    CString line;
    while (file.ReadString(line))
        lines.push_back(line.str());
    std::filesystem::remove(path);
    return lines;
}

TEST(CStdioFile, ReadStringFollowsTheTextRules)
{
    using Lines = std::vector<std::wstring>;
    struct Case {
        std::string bytes;
        Lines expected;
    } cases[] = {
        {"", {}},
        {"a\nb", {L"a", L"b"}},
        {"a\nb\n", {L"a", L"b"}},
        {"a\r\nb\r\n", {L"a", L"b"}},
        {"a\rb\n", {L"a\rb"}},           // a CR not before LF stays
        {"\n\n", {L"", L""}},
        {"a\nb\x1a" "c\nd\n", {L"a", L"b"}},  // 0x1A ends the text
        {"\x1a", {}},
        {"\xef\xbb\xbfx\t\xe9", {L"\xef\xbb\xbfx\t\xe9"}},  // one character per byte
        {std::string(100000, 'x') + "\n", {std::wstring(100000, L'x')}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadLines(c.bytes), c.expected) << c.bytes.substr(0, 20);
}

TEST(CStdioFile, ReadStringStopsAfterTheLongestLineAsked)
{
    auto path = TempFile("abcde\r\nabcdef\nxyz\n" + std::string(1 << 20, 'L') + "\nlast");
    CStdioFile file;
    ASSERT_TRUE(file.Open(CString(path.wstring()), CFile::modeRead | CFile::typeText));
    CString line;
    // A line over the limit gives one byte more than asked; its LF stays for the next read.
    std::vector<std::wstring> lines;
    for (int i = 0; i < 5 && file.ReadString(line, 5); ++i)
        lines.push_back(line.str());
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"abcde\r", L"", L"abcdef", L"", L"xyz"}));  // the CR counts
    // A line of a MiB gives its first bytes only; the rest comes with the next read.
    ASSERT_TRUE(file.ReadString(line, 1000));
    EXPECT_EQ(line.GetLength(), 1001);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line.GetLength(), (1 << 20) - 1001);
    ASSERT_TRUE(file.ReadString(line, 5));
    EXPECT_EQ(line, L"last");
    std::filesystem::remove(path);
}

TEST(CFile, CreateWriteAndFailures)
{
    auto folder = std::filesystem::temp_directory_path() / ("zorv-file-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    CString path(folder.wstring() + L"/out.bin");
    {
        std::ofstream(folder / "out.bin") << "old content that is longer";
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone | CFile::typeBinary));
        EXPECT_TRUE(file.IsOpen());
        file.Write("new", 3);
        file.Close();
        EXPECT_FALSE(file.IsOpen());
    }
    EXPECT_EQ(std::filesystem::file_size(folder / "out.bin"), 3u);

    CFile file;
    EXPECT_FALSE(file.Open(CString(folder.wstring() + L"/missing/x.bin"), CFile::modeCreate | CFile::modeWrite));
    std::filesystem::remove_all(folder);
}

TEST(CStdioFile, WritesAreBufferedAndAFailedFlushIsReported)
{
    auto path = TempFile("");
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(CString(path.wstring()), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
        std::string chunk(1024, 'w');
        for (int i = 0; i < 200; ++i)
            file.Write(chunk.data(), 1024);
        file.Close();
    }
    EXPECT_EQ(std::filesystem::file_size(path), 200u * 1024);
    std::filesystem::remove(path);

    // A file may not grow past 4 bytes meanwhile: the write beyond fails (EFBIG) as on a full disk.
    path = TempFile("");
    CStdioFile full;
    ASSERT_TRUE(full.Open(CString(path.wstring()), CFile::modeWrite | CFile::typeBinary));
    full.Write("0123456789", 10);  // held in the buffer
    {
        FileSizeLimit limit(4);
        ASSERT_TRUE(limit.Active());
        try {
            full.Close();
            ADD_FAILURE() << "the flush did not fail";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_lOsError, EFBIG);
            EXPECT_NE(e.GetErrorMessage().Find(path.wstring().c_str()), -1);
        }
    }
    EXPECT_FALSE(full.IsOpen());
    std::filesystem::remove(path);
}

}  // namespace
