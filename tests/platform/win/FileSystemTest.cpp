#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zorv-fs-XXXXXX";
        folder = mkdtemp(pattern);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder, previous;
};

TEST_F(FileSystemTest, BackslashPathsReachTheFileSystem)
{
    EXPECT_EQ(NativePath(L"Zorv_Data\\..\\Data\\a b.dat"), "Data/a b.dat");
    EXPECT_TRUE(CreateDirectoryW(L"Zorv_Data", nullptr));
    EXPECT_FALSE(CreateDirectoryW(L"Zorv_Data", nullptr));
    EXPECT_FALSE(CreateDirectoryW(L"Missing\\Child", nullptr));
    EXPECT_TRUE(CreateDirectoryW(L"Zorv_Data\\Sub", nullptr));
    EXPECT_TRUE(PathIsDirectoryW(L"Zorv_Data\\Sub"));
    std::ofstream(folder / "Zorv_Data/Sub/\xe4\xb8\xad.txt") << "x";
    EXPECT_TRUE(PathFileExistsW(L"Zorv_Data\\Sub\\\u4e2d.txt"));
    EXPECT_FALSE(PathIsDirectoryW(L"Zorv_Data\\Sub\\\u4e2d.txt"));
    EXPECT_TRUE(DeleteFileW(L"Zorv_Data\\Sub\\\u4e2d.txt"));
    EXPECT_FALSE(DeleteFileW(L"Zorv_Data\\Sub\\\u4e2d.txt"));
    EXPECT_FALSE(DeleteFileW(L"Zorv_Data\\Sub"));  // a folder is not a file
    EXPECT_FALSE(PathFileExistsW(L""));
}

TEST(FoldedPath, FoldsDotsFromTheTextAsWindowsDoes)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* folded;
    } cases[] = {
        {L"Zorv_Data\\..\\Data\\x", L"Data/x"},
        {L"Zorv_Data\\a\\..\\..\\Data\\x", L"Data/x"},
        {L"a\\.\\b\\.\\c", L"a/b/c"},
        {L"a\\\\b//c", L"a/b/c"},
        {L"..\\Data\\x", L"../Data/x"},  // above the start: from the current folder
        {L"a\\..\\..\\..\\x", L"../../x"},
        {L"..\\a\\..\\b", L"../b"},
        {L"a\\..", L"."},
        {L".", L"."},
        {L"a\\b\\..\\", L"a/"},
        {L"/home/p/Documents\\vrex_lom\\", L"/home/p/Documents/vrex_lom/"},
        {L"/..\\..\\etc", L"/etc"},  // nothing above the root
        {L"/a/../..", L"/"},
        {L"...\\x", L".../x"},  // a name, not a step
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FoldedPath(c.path), c.folded) << WideToUtf8(c.path);
}

TEST_F(FileSystemTest, EveryFileCallSeesTheFoldedPath)
{
    // Zorv_Data is a link to a folder elsewhere; "Zorv_Data\.." is still this folder.
    char pattern[] = "/tmp/zorv-elsewhere-XXXXXX";
    std::filesystem::path elsewhere = mkdtemp(pattern);
    std::filesystem::create_directory(elsewhere / "target");
    std::filesystem::create_directory_symlink(elsewhere / "target", folder / "Zorv_Data");
    EXPECT_TRUE(CreateDirectoryW(L"Zorv_Data\\..\\Data", nullptr));
    EXPECT_TRUE(PathIsDirectoryW(L"Zorv_Data\\..\\Data"));
    std::ofstream(NativePath(L"Zorv_Data\\..\\Data\\x")) << "x";
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "Data/x"));
    EXPECT_TRUE(PathFileExistsW(L"Zorv_Data\\..\\Data\\x"));
    WIN32_FIND_DATAW data;
    HANDLE found = FindFirstFileW(L"Zorv_Data\\..\\Data\\x", &data);
    ASSERT_NE(found, INVALID_HANDLE_VALUE);
    FindClose(found);
    EXPECT_TRUE(DeleteFileW(L"Zorv_Data\\..\\Data\\x"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Data/x"));
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "Data"));
    // A name that is not there folds away all the same.
    EXPECT_TRUE(PathIsDirectoryW(L"Missing\\..\\Data"));
    EXPECT_TRUE(SetCurrentDirectoryW(L"Zorv_Data\\..\\Data"));
    EXPECT_EQ(std::filesystem::current_path(), folder / "Data");
    std::filesystem::remove_all(elsewhere);
}

TEST_F(FileSystemTest, FindFirstFileTellsWhetherAnEntryExists)
{
    std::ofstream(folder / "present.bin") << "1234";
    WIN32_FIND_DATAW data;
    HANDLE found = FindFirstFileW(L"present.bin", &data);
    ASSERT_NE(found, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.cFileName, L"present.bin");
    EXPECT_EQ(data.nFileSize, 4u);
    EXPECT_TRUE(FindClose(found));
    EXPECT_EQ(FindFirstFileW(L"absent.bin", &data), INVALID_HANDLE_VALUE);
    std::filesystem::create_directory(folder / "dir");
    found = FindFirstFileW(L"dir", &data);
    ASSERT_NE(found, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    FindClose(found);
}

TEST_F(FileSystemTest, SetCurrentDirectoryAndTheModulePath)
{
    std::filesystem::create_directory(folder / "game");
    EXPECT_TRUE(SetCurrentDirectoryW(L"game"));
    EXPECT_EQ(std::filesystem::current_path(), folder / "game");
    EXPECT_FALSE(SetCurrentDirectoryW(L"nowhere"));

    std::wstring module = GetModuleFilePath();
    EXPECT_EQ(WideToUtf8(module), std::filesystem::read_symlink("/proc/self/exe").string());
}

}  // namespace
