#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "update/FolderSet.h"

namespace {

TEST(FolderSet, KnowsFoldersByTheirExactText)
{
    FolderSet folders;
    EXPECT_EQ(folders.LongestKnown(L"a\\b"), std::nullopt);
    folders.Insert(L"a\\b\\c", 2);  // "a" is not asked for
    EXPECT_EQ(folders.Texts(), (std::set<CString>{L"a\\b", L"a\\b\\c"}));
    EXPECT_EQ(folders.LongestKnown(L"a\\b\\c\\d\\e"), 5u);
    EXPECT_EQ(folders.LongestKnown(L"a\\b\\x"), 3u);
    EXPECT_EQ(folders.LongestKnown(L"a\\b"), 3u);
    EXPECT_EQ(folders.LongestKnown(L"a"), std::nullopt);
    EXPECT_EQ(folders.LongestKnown(L"a\\bc"), std::nullopt);
    EXPECT_EQ(folders.LongestKnown(L"a\\\\b"), std::nullopt);  // another text
    EXPECT_EQ(folders.LongestKnown(L"A\\b"), std::nullopt);

    folders.Insert(L"", 0);
    folders.Insert(L"a\\b\\..", 0);
    EXPECT_EQ(folders.Texts(), (std::set<CString>{L"", L"a", L"a\\b", L"a\\b\\c", L"a\\b\\.."}));
    EXPECT_EQ(folders.LongestKnown(L"\\x"), 0u);
    EXPECT_EQ(folders.LongestKnown(L"a\\x"), 1u);
}

TEST(FolderSet, ADeepPathCostsTimeLinearInItsLength)
{
    // 30,000 folders: kept as every start's own text, they would take about 3.5 GiB.
    std::wstring deep;
    for (int i = 0; i < 30000; ++i)
        deep += L"d\\";
    deep += L"e";
    FolderSet folders;
    auto started = std::chrono::steady_clock::now();
    folders.Insert(deep, 0);
    EXPECT_EQ(folders.LongestKnown(deep), deep.size());
    EXPECT_EQ(folders.LongestKnown(deep + L"\\more"), deep.size());
    EXPECT_EQ(folders.LongestKnown(deep.substr(0, 3)), 3u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

}  // namespace
