// Runs a call that must not block on a thread of its own, so that a call that blocks for good
// fails the test instead of hanging it.
#pragma once

#include <glib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

// The calling thread turns the GLib main loop while it waits, so messages the call sends to
// windows are served. A thread blocked in a system call cannot be stopped, and it uses the
// caller's objects: when the limit passes, the program ends at once as failed.
inline void FinishesWithin(std::chrono::seconds limit, const std::function<void()>& work)
{
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([finished, &work] {
        work();
        *finished = true;
    });
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!*finished && std::chrono::steady_clock::now() < deadline) {
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!*finished) {
        std::fprintf(stderr, "FAILED: a call that must not block still runs after %lld s\n",
                     static_cast<long long>(limit.count()));
        std::fflush(nullptr);
        std::_Exit(EXIT_FAILURE);
    }
    thread.join();
}
