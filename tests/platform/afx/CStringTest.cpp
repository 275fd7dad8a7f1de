#include <gtest/gtest.h>

#include <set>

#include "platform/afx/CString.h"

namespace {

TEST(CString, ReplaceFindAndParts)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* from;
        const wchar_t* to;
        const wchar_t* expected;
        int count;
    } cases[] = {
        {L"/opt/ZorvLauncher.exe", L".exe", L"_update.exe", L"/opt/ZorvLauncher_update.exe", 1},
        {L"/a.exe/b.exe", L".exe", L"_update.exe", L"/a_update.exe/b_update.exe", 2},
        {L"/a/B.EXE", L".exe", L"_update.exe", L"/a/B.EXE", 0},
        {L"..\\DataSource\\..\\DataSource\\x", L"..\\DataSource", L"..\\Data", L"..\\Data\\..\\Data\\x", 2},
        {L"aaaa", L"aa", L"a", L"aa", 2},  // left to right, no overlap
        {L"abc", L"", L"x", L"abc", 0},
    };
    for (const Case& c : cases) {
        CString text = c.text;
        EXPECT_EQ(text.Replace(c.from, c.to), c.count) << c.text;
        EXPECT_EQ(text, c.expected);
    }
    CString path = L"Zorv_Data\\a\\b.dat";
    EXPECT_EQ(path.Replace(L'$', L' '), 0);
    EXPECT_EQ(path.ReverseFind(L'\\'), 11);
    EXPECT_EQ(path.Left(11), L"Zorv_Data\\a");
    EXPECT_EQ(path.Mid(12), L"b.dat");
    EXPECT_EQ(path.Mid(10, 1), L"a");
    EXPECT_EQ(path.Find(L"\\", 10), 11);
    EXPECT_EQ(path.Find(L'z'), -1);
    EXPECT_EQ(path.Left(100), path);
    EXPECT_EQ(path.Mid(100), L"");
}

TEST(CString, FormatComparisonAndOrder)
{
    CString text;
    text.Format(L"%s%s", L"https://h/zorv/patch_v3/", L"LauncherUpdate.txt");
    EXPECT_EQ(text, L"https://h/zorv/patch_v3/LauncherUpdate.txt");
    EXPECT_EQ(CString(L"0.0.0.6"), L"0.0.0.6");
    EXPECT_FALSE(CString(L"0.0.0.6 ") == L"0.0.0.6");
    std::set<CString> folders = {L"Zorv_Data\\b", L"Zorv_Data", L"Zorv_Data\\a"};
    EXPECT_EQ(*folders.begin(), L"Zorv_Data");
    EXPECT_EQ(folders.count(L"zorv_data"), 0u);  // case-sensitive membership
    CString joined = CString(L"a") + L"b" + CString(L"c") + L'd';
    EXPECT_EQ(joined, L"abcd");
    EXPECT_EQ(joined.GetLength(), 4);
    joined.Empty();
    EXPECT_TRUE(joined.IsEmpty());
}

}  // namespace
