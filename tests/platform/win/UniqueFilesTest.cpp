#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

#include <filesystem>
#include <set>
#include <string>

#include "platform/win/Text.h"
#include "platform/win/UniqueFiles.h"
#include "tests/support/TemporaryFolder.h"

namespace {

TEST(CreateUniqueFile, MakesANewEmptyFileOfANameOfItsOwnEachTime)
{
    TemporaryFolder folder;
    std::set<std::wstring> names;
    for (int i = 0; i < 20; ++i) {
        std::wstring name = CreateUniqueFile(L"_filelist", L".txt");
        // "_filelist." six letters or digits ".txt"
        ASSERT_EQ(name.size(), 20u) << WideToUtf8(name);
        EXPECT_TRUE(name.starts_with(L"_filelist.") && name.ends_with(L".txt")) << WideToUtf8(name);
        EXPECT_TRUE(std::all_of(name.begin() + 10, name.begin() + 16, [](wchar_t c) { return std::iswalnum(c); }));
        std::filesystem::path made = folder.Path() / WideToUtf8(name);
        EXPECT_TRUE(std::filesystem::is_regular_file(made));
        EXPECT_EQ(std::filesystem::file_size(made), 0u);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 20u);

    std::filesystem::create_directory(folder.Path() / "Sub");
    std::wstring inFolder = CreateUniqueFile(L"Sub\\_filelist", L".txt");
    ASSERT_EQ(inFolder.rfind(L"Sub\\_filelist.", 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Sub" / WideToUtf8(inFolder.substr(4))));
    EXPECT_EQ(CreateUniqueFile(L"Missing\\_filelist", L".txt"), L"");
}

TEST(RemoveUniqueFiles, RemovesTheFilesCreateUniqueFileMakesAndNothingElse)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder.Path() / "Sub");
    std::filesystem::path made = folder.Path() / WideToUtf8(CreateUniqueFile(L"_filelist", L".txt"));
    std::filesystem::path madeInSub = folder.Path() / "Sub" / WideToUtf8(CreateUniqueFile(L"Sub\\_filelist", L".txt").substr(4));
    struct Case {
        const char* name;
        bool removed;
    } cases[] = {
        {"_filelist.k3Xq9Z.txt", true},
        {"_filelist.000000.txt", true},
        {"_filelist.txt", false},
        {"_filelist.k3Xq9.txt", false},
        {"_filelist.k3Xq9Zz.txt", false},
        {"_filelist.k3-q9Z.txt", false},
        {"_filelist.k3\xc3\xa9q9.txt", false},
        {"_filelist.k3Xq9Z.txt.part", false},
        {"_filelist.k3Xq9Z.TXT", false},
        {"x_filelist.k3Xq9Z.txt", false},
        {"_FILELIST.k3Xq9Z.txt", false},
    };
    for (const Case& c : cases)
        folder.WriteFile(c.name, "kept?");
    std::filesystem::create_directory(folder.Path() / "_filelist.Folder.txt");
    folder.WriteFile("elsewhere.txt", "a file elsewhere");
    std::filesystem::create_symlink(folder.Path() / "elsewhere.txt", folder.Path() / "_filelist.Linked.txt");

    RemoveUniqueFiles(L"_filelist", L".txt");
    EXPECT_FALSE(std::filesystem::exists(made));
    for (const Case& c : cases)
        EXPECT_EQ(std::filesystem::exists(folder.Path() / c.name), !c.removed) << c.name;
    // Only regular files: a folder and a link of such a name stay, and so does the link's target.
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "_filelist.Folder.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / "_filelist.Linked.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "elsewhere.txt"));
    // Another folder's are not touched until its own stem is named.
    EXPECT_TRUE(std::filesystem::exists(madeInSub));
    RemoveUniqueFiles(L"Sub\\_filelist", L".txt");
    EXPECT_FALSE(std::filesystem::exists(madeInSub));
    RemoveUniqueFiles(L"Missing\\_filelist", L".txt");  // nothing to list, nothing happens
}

}  // namespace
