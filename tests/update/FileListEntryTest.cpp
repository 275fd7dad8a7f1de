#include <gtest/gtest.h>

#include "update/FileListEntry.h"

namespace {

TEST(FileListEntry, ParsesEachFieldLayout)
{
    constexpr const wchar_t* kDigest = L"d41d8cd98f00b204e9800998ecf8427e";
    struct Case {
        const wchar_t* line;
        const char* path;
        int version;
        const wchar_t* md5;  // the listed digest it keeps
        long long size;
    } cases[] = {
        {L"a\\b.dat\t12\td41d8cd98f00b204e9800998ecf8427e\t1024", "a\\b.dat", 12, kDigest, 1024},
        {L"a\t1\tm\t77\textra\t9", "a", 1, L"", 77},  // the size ends at the next TAB
        {L"a\t3\t55", "a", 3, L"", 55},                // two TABs: no MD5
        {L"a\t66", "a", 0, L"", 66},                   // one TAB: no version
        {L"", "", 0, L"", 0},
        {L"123", "", 0, L"", 123},                      // no TAB: the size from the whole line
        {L"a\t 7x\tm\t  -5\r", "a", 7, L"", 0},        // white space, sign, text behind ignored
        {L"a\tv\tm\tsize", "a", 0, L"", 0},
        {L"\xef\xbb\xbf" L"a\t1\tm\t2", "\xef\xbb\xbf" "a", 1, L"", 2},  // a BOM stays in the path
        {L"a\t99999999999\tm\t5000000000", "a", 2147483647, L"", 5000000000LL},
        {L"a\t1\tm\t99999999999999999999", "a", 1, L"", 9223372036854775807LL},
        {L"a\t-99999999999\tm\t-99999999999999999999", "a", -2147483647 - 1, L"", 0},  // a negative size is 0
        // Only 32 lowercase hexadecimal digits can equal a file's digest; any other text is none.
        {L"a\t1\t0123456789abcdef0123456789ABCDEF\t1", "a", 1, L"", 1},
        {L"a\t1\t0123456789abcdef0123456789abcdeg\t1", "a", 1, L"", 1},
        {L"a\t1\t0123456789abcdef0123456789abcde\t1", "a", 1, L"", 1},
        {L"a\t1\t0123456789abcdef0123456789abcdef0\t1", "a", 1, L"", 1},
        {L"a\t1\t 0123456789abcdef0123456789abcde\t1", "a", 1, L"", 1},
        {L"a\t1\t0123456789abcdef0123456789abcdef\t1", "a", 1, L"0123456789abcdef0123456789abcdef", 1},
        {L"a\t1\tffffffffffffffffffffffffffffffff\t1", "a", 1, L"ffffffffffffffffffffffffffffffff", 1},
    };
    for (const Case& c : cases) {
        FileListEntry entry = FileListEntry::Parse(c.line);
        EXPECT_EQ(entry.strPath, c.path) << c.line;
        EXPECT_EQ(entry.nVersion, c.version) << c.line;
        EXPECT_EQ(entry.MD5(), c.md5) << c.line;
        EXPECT_EQ(entry.nSize, c.size) << c.line;
    }
    // Every byte value stays itself.
    std::wstring bytes;
    for (wchar_t unit = 1; unit < 256; ++unit)
        bytes += unit == L'\t' ? L'x' : unit;
    FileListEntry entry = FileListEntry::Parse(CString(bytes + L"\t1"));
    EXPECT_EQ(entry.strPath.size(), 255u);
    EXPECT_EQ(entry.Path(), bytes);
}

TEST(FileListEntry, NumbersOutOfRangeGiveTheNearestLimit)
{
    constexpr long long kMax = 9223372036854775807LL;
    constexpr long long kMin = -kMax - 1;
    struct Case {
        const wchar_t* text;
        long long number;  // ParseListedNumber
        int version;       // the same text as a version
        long long size;    // and as a size
    } cases[] = {
        {L"2147483647", 2147483647LL, 2147483647, 2147483647LL},
        {L"2147483648", 2147483648LL, 2147483647, 2147483648LL},
        {L"-2147483648", -2147483648LL, -2147483647 - 1, 0},
        {L"-2147483649", -2147483649LL, -2147483647 - 1, 0},
        {L"9223372036854775807", kMax, 2147483647, kMax},
        {L"9223372036854775808", kMax, 2147483647, kMax},
        {L"-9223372036854775808", kMin, -2147483647 - 1, 0},
        {L"-9223372036854775809", kMin, -2147483647 - 1, 0},
        {L"18446744073709551615", kMax, 2147483647, kMax},
        {L"18446744073709551616", kMax, 2147483647, kMax},
        {L"18446744073709551617", kMax, 2147483647, kMax},
        {L"-18446744073709551617", kMin, -2147483647 - 1, 0},
        {L"92233720368547758070", kMax, 2147483647, kMax},
        {L"184467440737095516170", kMax, 2147483647, kMax},
        {L"-184467440737095516170", kMin, -2147483647 - 1, 0},
        {L"000000000000000000000000012", 12, 12, 12},
        {L"99999999999999999999999999999999999999 1", kMax, 2147483647, kMax},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseListedNumber(c.text), c.number) << c.text;
        FileListEntry entry = FileListEntry::Parse(CString(L"a\t") + c.text + L"\tm\t" + c.text);
        EXPECT_EQ(entry.nVersion, c.version) << c.text;
        EXPECT_EQ(entry.nSize, c.size) << c.text;
    }
}

TEST(FileListEntry, LocalPathRules)
{
    struct Case {
        const char* listed;
        const wchar_t* local;
        bool inside;
    } cases[] = {
        {"bin\\a$b.dat", L"Zorv_Data\\bin\\a b.dat", true},
        {"..\\DataSource\\x$y.pak", L"Zorv_Data\\..\\Data\\x y.pak", true},
        {"m\\..\\DataSource\\z", L"Zorv_Data\\m\\..\\Data\\z", true},
        {"..\\datasource\\z", L"Zorv_Data\\..\\datasource\\z", true},  // case matters
        {"", L"Zorv_Data\\", true},
        {"..\\..\\escape.txt", L"Zorv_Data\\..\\..\\escape.txt", false},
        {"a\\..\\..\\..\\x", L"Zorv_Data\\a\\..\\..\\..\\x", false},
        {"..\\Data\\..\\..\\x", L"Zorv_Data\\..\\Data\\..\\..\\x", false},
        {"../../etc/passwd", L"Zorv_Data\\../../etc/passwd", false},
        {"C:\\Windows\\x", L"Zorv_Data\\C:\\Windows\\x", false},
        {"ok\\.\\.\\file", L"Zorv_Data\\ok\\.\\.\\file", true},
        {"a/..\\../..\\x", L"Zorv_Data\\a/..\\../..\\x", false},  // either separator
        {"a\\c:\\x", L"Zorv_Data\\a\\c:\\x", false},
        {"a\\c:x", L"Zorv_Data\\a\\c:x", false},  // drive-relative
    };
    for (const Case& c : cases) {
        FileListEntry entry;
        entry.strPath = c.listed;
        EXPECT_EQ(entry.LocalPath(), c.local) << c.listed;
        EXPECT_EQ(FileListEntry::IsInsideGameFolder(entry.LocalPath()), c.inside) << c.listed;
    }
    // A NUL stays in the local path, which is then refused.
    FileListEntry evil;
    evil.strPath = std::string("evil\0.txt", 9);
    EXPECT_EQ(evil.LocalPath(), CString(L"Zorv_Data\\evil\0.txt", 19));
    EXPECT_FALSE(FileListEntry::IsInsideGameFolder(evil.LocalPath()));
    EXPECT_FALSE(FileListEntry::IsInsideGameFolder(L"/etc/passwd"));
    EXPECT_FALSE(FileListEntry::IsInsideGameFolder(L"\\root"));
}

}  // namespace
