// The limit on a page's browser starts, with the times given: one start per address a second,
// three a second in all; what comes beyond is dropped, not kept for later.
#include <gtest/gtest.h>

#include <string>

#include "browser/COpenWebLimit.h"

namespace {

using namespace std::chrono_literals;

TEST(COpenWebLimit, AnAddressStartsOnceASecondAndThreeStartsASecondInAll)
{
    struct Call {
        std::chrono::milliseconds at;
        const wchar_t* address;
        bool started;
    };
    const Call calls[] = {
        {0ms, L"https://a/", true},
        {0ms, L"https://a/", false},
        {999ms, L"https://a/", false},
        {1000ms, L"https://a/", true},  // a second after its start
        {1000ms, L"https://A/", true},  // another text is another address
        {1100ms, L"https://b/", true},
        {1200ms, L"https://c/", false},  // the fourth start within a second
        {1999ms, L"https://c/", false},
        {2000ms, L"https://c/", true},  // the start at 1000 ms is a second old
        {2000ms, L"https://d/", true},
        {2000ms, L"https://e/", false},
        {2100ms, L"https://e/", true},
        {5000ms, L"https://b/", true},
        {5000ms, L"https://c/", true},
        {5000ms, L"https://d/", true},
        {5000ms, L"https://e/", false},
    };
    COpenWebLimit limit;
    const auto start = std::chrono::steady_clock::now();
    for (const Call& call : calls) {
        SCOPED_TRACE(std::to_string(call.at.count()) + " ms");
        EXPECT_EQ(limit.Admit(call.address, start + call.at), call.started);
    }
}

}  // namespace
