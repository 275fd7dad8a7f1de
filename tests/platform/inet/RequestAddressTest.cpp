#include <gtest/gtest.h>

#include "platform/inet/RequestAddress.h"

TEST(RequestAddress, GoesOutAsABrowserSendsIt)
{
    struct Case {
        const wchar_t* url;
        const char* object;
    } cases[] = {
        {L"https://h/p/12/Zorv_Data/..\\DataSource\\a$b.dat", "/p/12/DataSource/a$b.dat"},
        {L"http://h", "/"},
        {L"http://h/a/", "/a/"},
        {L"http://h/a/./b/../c", "/a/c"},
        {L"http://h/../../a", "/a"},                 // ".." at the root stays there
        {L"http://h/a/b/..", "/a/"},
        {L"http://h/a/.", "/a/"},
        {L"http://h/%2e%2E/x/.%2e/y", "/y"},        // encoded dots are dots
        {L"http://h/a..b/.c", "/a..b/.c"},
        {L"http://h\\a\\b", "/a/b"},                 // a backslash ends the host
        {L"http://h/a b/\u00fc", "/a%20b/%C3%BC"},
        {L"http://h/\u6570\u636e/a.dat", "/%E6%95%B0%E6%8D%AE/a.dat"},
        {L"http://h/a%20b", "/a%20b"},               // escapes stay as they are
        {L"http://h/\"<>`{}", "/%22%3C%3E%60%7B%7D"},
        {L"http://h/a\\b?c\\d/../e f'", "/a/b?c\\d/../e%20f%27"},  // the query is not a path
        {L"http://h/a#part", "/a"},
        {L"http://h?q", "/?q"},
    };
    for (const Case& c : cases) {
        std::optional<RequestAddress> address = RequestAddress::FromUrl(c.url);
        ASSERT_TRUE(address) << c.url;
        EXPECT_EQ(address->object, c.object) << c.url;
    }
}

TEST(RequestAddress, KeepsSchemeAndHostAndRefusesAddressesWithoutThem)
{
    std::optional<RequestAddress> address = RequestAddress::FromUrl(L"HTTPS://127.0.0.1:8443/a/../b c");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->url, "https://127.0.0.1:8443/b%20c");

    for (const wchar_t* url : {L"", L"h/a", L"http:///a", L"://h/a"})
        EXPECT_FALSE(RequestAddress::FromUrl(url)) << url;
}
