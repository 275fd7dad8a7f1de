#include "tests/support/MainLoop.h"

#include <glib.h>

bool RunLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // A ticking source, so that a blocking iteration wakes up to look at the clock.
    const guint tick = g_timeout_add(5, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool finished = done();
    while (!finished && std::chrono::steady_clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        finished = done();
    }
    g_source_remove(tick);
    return finished;
}

void RunLoopFor(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    RunLoopUntil([&] { return std::chrono::steady_clock::now() >= end; }, duration + std::chrono::seconds(1));
}
