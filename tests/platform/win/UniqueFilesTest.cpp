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

}  // namespace
