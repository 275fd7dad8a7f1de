#include "platform/cef/CefMessageQueue.h"

#include <utility>

bool CefMessageQueue::s_running = false;
std::deque<CefMessageQueue::Waiting> CefMessageQueue::s_waiting;
std::size_t CefMessageQueue::s_waitingBytes = 0;

bool CefMessageQueue::Deliver(std::size_t bytes, std::function<void()> delivery)
{
    if (s_running) {
        if (s_waiting.size() >= kMaxWaiting || bytes > kMaxWaitingBytes - s_waitingBytes)
            return false;
        s_waiting.push_back({bytes, std::move(delivery)});
        s_waitingBytes += bytes;
        return true;
    }
    // Whatever comes in while a delivery runs (a box iterates the main loop) waits for the loop
    // below, which runs from this outermost call only.
    s_running = true;
    delivery();
    while (!s_waiting.empty()) {
        Waiting next = std::move(s_waiting.front());
        s_waiting.pop_front();
        s_waitingBytes -= next.bytes;
        next.delivery();
    }
    s_running = false;
    return true;
}
