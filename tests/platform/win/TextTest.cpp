#include <gtest/gtest.h>

#include <clocale>

#include "platform/win/Text.h"

namespace {

std::wstring Format(const wchar_t* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::wstring text = FormatText(format, arguments);
    va_end(arguments);
    return text;
}

TEST(FormatText, ConversionsTheLauncherUses)
{
    EXPECT_EQ(Format(L"%s: %s", L"error", L"https://h/a"), L"error: https://h/a");
    EXPECT_EQ(Format(L"Http Error: %d, %s", 404, L"/p"), L"Http Error: 404, /p");
    EXPECT_EQ(Format(L"%08x", 0x0badcafeu), L"0badcafe");
    EXPECT_EQ(Format(L"%08x", 0x1u), L"00000001");
    EXPECT_EQ(Format(L"%d%%", 57), L"57%");
    EXPECT_EQ(Format(L"%s%d/%s/%s", L"https://p/", -3, L"Zorv_Data", L"a$b"), L"https://p/-3/Zorv_Data/a$b");
    EXPECT_EQ(Format(L"%5s|%3d|%05d", L"ab", 7, -42), L"   ab|  7|-0042");
    EXPECT_EQ(Format(L"%u and %", 1u), L"%u and ");
    EXPECT_EQ(Format(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)");
}

TEST(FormatText, LongTextIsKeptWhole)
{
    std::wstring path(5000, L'x');
    EXPECT_EQ(Format(L"OpenFile Error: %s", path.c_str()).size(), 16u + 5000u);
}

TEST(Wsprintf, StopsAtTheWindowsLimit)
{
    wchar_t buffer[1100];
    std::wstring text(2000, L'y');
    EXPECT_EQ(wsprintfW(buffer, L"%s", text.c_str()), 1023);
    EXPECT_EQ(std::wstring(buffer).size(), 1023u);
    EXPECT_EQ(wsprintfW(buffer, L"%08x", 0xabcu), 8);
    EXPECT_STREQ(buffer, L"00000abc");
}

TEST(MultiByteToWideChar, DecodesTheLocaleCharacterSet)
{
    std::setlocale(LC_ALL, "");
    // The user's locale here may be C or UTF-8; ASCII decodes the same in both.
    wchar_t out[32] = {};
    int n = MultiByteToWideChar(CP_ACP, 0, "0.0.0.6", 7, out, 32);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(std::wstring(out, 7), L"0.0.0.6");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);  // NUL included
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", 6, out, 3), 0);  // does not fit
}

TEST(Utf8, RoundTripsAndReplacesInvalidBytes)
{
    std::wstring text = L"\u66f4\u65b0\u5b8c\u6210 \U0001F600 a";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(Utf8ToWide("a\xff" "b\xe6\x9b"), L"a\xFFFD" L"b\xFFFD\xFFFD");
}

TEST(Lstrcmp, IsACaseSensitiveOrder)
{
    EXPECT_EQ(lstrcmpW(L"d41d8cd9", L"d41d8cd9"), 0);
    EXPECT_NE(lstrcmpW(L"D41D8CD9", L"d41d8cd9"), 0);
    EXPECT_LT(lstrcmpW(L"a", L"b"), 0);
    EXPECT_GT(lstrcmpW(L"b", L"a"), 0);
}

}  // namespace
