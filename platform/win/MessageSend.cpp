#include "platform/win/MessageSend.h"

#include <glib.h>

#include <deque>
#include <memory>
#include <mutex>

#include "platform/win/MessageRecords.h"
#include "platform/win/Threads.h"
#include "platform/win/WindowDelivery.h"
#include "platform/win/WindowHandles.h"

namespace {

// Messages on their way to the main loop. They pass through this queue, under a lock of ours,
// so that the hand-over from the sending thread is visible as such; each idle call takes one.
std::mutex g_handOverMutex;
std::deque<Delivery> g_handOver;

gboolean DeliverFromLoop(gpointer)
{
    Delivery delivery;
    {
        std::lock_guard lock(g_handOverMutex);
        if (g_handOver.empty())
            return G_SOURCE_REMOVE;
        delivery = std::move(g_handOver.front());
        g_handOver.pop_front();
    }
    Deliver(std::move(delivery));
    return G_SOURCE_REMOVE;
}

void QueueOnMainLoop(Delivery delivery)
{
    {
        std::lock_guard lock(g_handOverMutex);
        g_handOver.push_back(std::move(delivery));
    }
    // Always through the loop: g_main_context_invoke would run it on this thread when the main
    // thread is not iterating at this instant.
    g_idle_add_full(G_PRIORITY_DEFAULT, DeliverFromLoop, nullptr, nullptr);
}

}  // namespace

LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsMainThread()) {
        WindowProcedure* procedure = GetWindowProcedure(hWnd);
        if (!procedure) {
            FreeMessageRecord(message, wParam, lParam);
            return 0;
        }
        return procedure->WindowProc(message, wParam, lParam);
    }
    if (!IsWindow(hWnd)) {
        FreeMessageRecord(message, wParam, lParam);
        return 0;
    }
    auto wait = std::make_shared<SendWait>();
    QueueOnMainLoop(Delivery{hWnd, message, wParam, lParam, wait});
    std::unique_lock lock(wait->mutex);
    wait->done.wait(lock, [&] { return wait->finished; });
    return wait->result;
}

BOOL PostMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(hWnd)) {
        FreeMessageRecord(message, wParam, lParam);
        return FALSE;
    }
    // A post never runs the procedure inside the call, even on the main thread.
    QueueOnMainLoop(Delivery{hWnd, message, wParam, lParam, nullptr});
    return TRUE;
}
