#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
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
        ASSERT_TRUE(std::regex_match(name, std::wregex(LR"(_filelist\.[A-Za-z0-9]{6}\.txt)"))) << WideToUtf8(name);
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
