#include "browser/COpenWebLimit.h"

#include <algorithm>

bool COpenWebLimit::Admit(const std::wstring& address, std::chrono::steady_clock::time_point now)
{
    while (!m_recent.empty() && now - m_recent.front().time >= std::chrono::seconds(1))
        m_recent.pop_front();
    if (m_recent.size() >= kMaxStartsPerSecond ||
        std::any_of(m_recent.begin(), m_recent.end(), [&](const Start& start) { return start.address == address; }))
        return false;
    m_recent.push_back({now, address});
    return true;
}
