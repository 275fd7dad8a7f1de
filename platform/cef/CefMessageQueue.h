// CefMessageQueue: page messages reach the clients one after another, never one inside another.
// The framework's client handles a message on the engine's one UI thread, so a message box in a
// handler holds back every further message until it is closed. Here the handlers run on the GTK
// main thread, and a box iterates the main loop: a message that arrives while a handler runs
// waits, and the waiting ones are delivered in their order of arrival once it has returned.
// What may wait is bounded (kMaxWaiting messages, kMaxWaitingBytes of their text in all); a
// message beyond that is dropped, as a message that is never delivered. Main thread only.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>

class CefMessageQueue {
public:
    static constexpr std::size_t kMaxWaiting = 32;
    static constexpr std::size_t kMaxWaitingBytes = 4 << 20;

    // Runs delivery at once when no delivery is running, followed by every delivery that has
    // come to wait meanwhile; otherwise keeps it for then. bytes is what the delivery holds.
    // False when it is dropped.
    static bool Deliver(std::size_t bytes, std::function<void()> delivery);

private:
    struct Waiting {
        std::size_t bytes;
        std::function<void()> delivery;
    };

    static bool s_running;
    static std::deque<Waiting> s_waiting;
    static std::size_t s_waitingBytes;
};
