#include <gtest/gtest.h>

#include "app/GameStart.h"
#include "platform/win/FileSystem.h"
#include "platform/win/Shell.h"

namespace {

TEST(GameStart, TheGameAlwaysReceivesTheParameterAndTheDirectory)
{
    const CString directory = L"/opt/zorv launcher/";
    struct Case {
        CString parameter;
        const wchar_t* text;  // the command line built, when it is worth stating
        std::wstring received;
    } cases[] = {
        {L"session-42", L"\"session-42\" \"/opt/zorv launcher/\"", L"session-42"},
        {L"", L"\"\" \"/opt/zorv launcher/\"", L""},
        {L"two words", nullptr, L"two words"},
        {L"a\"b", nullptr, L"a\"b"},
        {L"\" \"/x\" \"y", nullptr, L"\" \"/x\" \"y"},
        {L"ends\\", nullptr, L"ends\\"},
        {L"c:\\games\\\"quoted\\\\\"", nullptr, L"c:\\games\\\"quoted\\\\\""},
        {CString(L"cut\0hidden", 10), L"\"cut\" \"/opt/zorv launcher/\"", L"cut"},
    };
    for (const Case& c : cases) {
        CString text = BuildGameParameters(c.parameter, directory);
        if (c.text) {
            EXPECT_EQ(text, c.text);
        }
        std::vector<std::wstring> arguments = SplitCommandLineArguments(text.str());
        ASSERT_EQ(arguments.size(), 2u) << text.GetString();
        EXPECT_EQ(arguments[0], c.received);
        EXPECT_EQ(arguments[1], directory.str());
    }
}

TEST(GameStart, TheModuleDirectoryEndsWithItsSeparator)
{
    std::wstring path = GetModuleFilePath();
    CString directory = GetModuleDirectory();
    EXPECT_EQ(directory.str(), path.substr(0, path.rfind(L'/') + 1));
    // A Windows directory keeps its text: the trailing backslash is doubled before the quote.
    EXPECT_EQ(QuoteCommandLineArgument(L"C:\\Zorv\\"), L"\"C:\\Zorv\\\\\"");
}

}  // namespace
