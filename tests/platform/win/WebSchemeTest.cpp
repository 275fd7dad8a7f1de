#include <gtest/gtest.h>

#include "platform/win/WebScheme.h"

TEST(WebScheme, OnlyHttpAndHttpsInAnyCaseAreWebAddresses)
{
    struct Case {
        const char* address;
        WebScheme scheme;
    } cases[] = {
        {"http://h/a", WebScheme::Http},
        {"HTTP://h", WebScheme::Http},
        {"https://127.0.0.1:8443/", WebScheme::Https},
        {"hTtPs://h", WebScheme::Https},
        {"http:/h", WebScheme::None},
        {"https:h", WebScheme::None},
        {"httpx://h", WebScheme::None},
        {" http://h", WebScheme::None},
        {"ftp://h/a", WebScheme::None},
        {"file:///tmp/a.html", WebScheme::None},
        {"http", WebScheme::None},
        {"", WebScheme::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WebSchemeOf(std::string_view(c.address)), c.scheme) << c.address;
        const std::string narrow = c.address;
        EXPECT_EQ(WebSchemeOf(std::wstring(narrow.begin(), narrow.end())), c.scheme) << c.address;
    }
}
