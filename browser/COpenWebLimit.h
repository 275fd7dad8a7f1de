// COpenWebLimit: how often a page's "OpenWeb" may start the desktop's browser. A player clicks a
// link a few times a second at most; a page that calls faster would start a browser for each call
// and keep the launcher busy starting them. So an address starts at most once a second, and at
// most kMaxStartsPerSecond starts happen in any second; a call beyond that is dropped, as the
// message queue drops what exceeds its bounds.
#pragma once

#include <chrono>
#include <deque>
#include <string>

class COpenWebLimit {
public:
    static constexpr std::size_t kMaxStartsPerSecond = 3;

    // Whether address may be started now; if so, the start is counted.
    bool Admit(const std::wstring& address, std::chrono::steady_clock::time_point now);

private:
    struct Start {
        std::chrono::steady_clock::time_point time;
        std::wstring address;
    };

    // The starts of the last second, oldest first: never more than kMaxStartsPerSecond.
    std::deque<Start> m_recent;
};
