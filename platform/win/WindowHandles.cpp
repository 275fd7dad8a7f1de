#include "platform/win/WindowHandles.h"

#include <glib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

thread_local constinit const std::atomic<std::size_t>* t_threadQueueLength = nullptr;

namespace {

const std::thread::id g_mainThread = std::this_thread::get_id();

// A message sent from another thread: the sender waits here for the procedure's result.
struct SendWait {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    LRESULT result = 0;

    void Finish(LRESULT value)
    {
        std::lock_guard lock(mutex);
        result = value;
        finished = true;
        done.notify_all();
    }
};

struct Delivery {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::shared_ptr<SendWait> wait;  // null for a posted message
};

struct WindowEntry {
    WindowProcedure* procedure = nullptr;
    GtkWidget* widget = nullptr;
    bool delivering = false;
    bool flushScheduled = false;
    std::deque<Delivery> held;
};

std::mutex g_windowsMutex;
std::map<HWND, WindowEntry> g_windows;
std::uintptr_t g_nextHandle = 0x1000;
std::map<UINT, MessageRecordDeleter> g_deleters;

struct ThreadQueue {
    std::mutex mutex;
    std::deque<MSG> messages;
    std::atomic<size_t> pending = 0;  // lets an empty queue be peeked without the lock
};
// Never destroyed: a worker thread that ends while the process exits still removes its queue.
std::mutex& g_queuesMutex = *new std::mutex;
std::map<DWORD, std::shared_ptr<ThreadQueue>>& g_queues = *new std::map<DWORD, std::shared_ptr<ThreadQueue>>;

void FreeRecord(UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageRecordDeleter deleter = nullptr;
    {
        std::lock_guard lock(g_windowsMutex);
        auto found = g_deleters.find(message);
        if (found != g_deleters.end())
            deleter = found->second;
    }
    if (deleter && lParam)
        deleter(wParam, lParam);
}

void Undeliverable(const Delivery& delivery)
{
    FreeRecord(delivery.message, delivery.wParam, delivery.lParam);
    if (delivery.wait)
        delivery.wait->Finish(0);
}


// Main thread: hands one message to its window, or holds it while the window does not deliver.
void Deliver(Delivery delivery)
{
    WindowProcedure* procedure = nullptr;
    {
        std::lock_guard lock(g_windowsMutex);
        auto found = g_windows.find(delivery.hwnd);
        if (found != g_windows.end()) {
            WindowEntry& entry = found->second;
            if (!entry.delivering || !entry.held.empty()) {
                entry.held.push_back(std::move(delivery));
                return;
            }
            procedure = entry.procedure;
        }
    }
    if (!procedure) {
        Undeliverable(delivery);
        return;
    }
    LRESULT result = procedure->WindowProc(delivery.message, delivery.wParam, delivery.lParam);
    if (delivery.wait)
        delivery.wait->Finish(result);
}

gboolean FlushHeld(gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    for (;;) {
        Delivery next;
        WindowProcedure* procedure;
        {
            std::lock_guard lock(g_windowsMutex);
            auto found = g_windows.find(hwnd);
            if (found == g_windows.end())
                return G_SOURCE_REMOVE;
            WindowEntry& entry = found->second;
            if (!entry.delivering || entry.held.empty()) {
                entry.flushScheduled = false;
                return G_SOURCE_REMOVE;
            }
            next = std::move(entry.held.front());
            entry.held.pop_front();
            procedure = entry.procedure;
        }
        LRESULT result = procedure->WindowProc(next.message, next.wParam, next.lParam);
        if (next.wait)
            next.wait->Finish(result);
    }
}

void ScheduleFlush(HWND hwnd)
{
    g_idle_add_full(G_PRIORITY_DEFAULT, FlushHeld, hwnd, nullptr);
}

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

std::shared_ptr<ThreadQueue> QueueOf(DWORD threadId, bool create)
{
    std::lock_guard lock(g_queuesMutex);
    auto found = g_queues.find(threadId);
    if (found != g_queues.end())
        return found->second;
    if (!create)
        return nullptr;
    auto queue = std::make_shared<ThreadQueue>();
    g_queues.emplace(threadId, queue);
    return queue;
}

// Removes the calling thread's queue when the thread ends.
struct ThreadQueueOwner {
    DWORD threadId = 0;
    std::shared_ptr<ThreadQueue> queue;
    ~ThreadQueueOwner()
    {
        if (!threadId)
            return;
        t_threadQueueLength = nullptr;
        std::lock_guard lock(g_queuesMutex);
        g_queues.erase(threadId);
    }
};
thread_local ThreadQueueOwner t_queueOwner;

ThreadQueue& OwnQueue()
{
    if (!t_queueOwner.queue) {
        t_queueOwner.threadId = GetCurrentThreadId();
        t_queueOwner.queue = QueueOf(t_queueOwner.threadId, true);
        t_threadQueueLength = &t_queueOwner.queue->pending;
    }
    return *t_queueOwner.queue;
}

}  // namespace

bool IsMainThread()
{
    return std::this_thread::get_id() == g_mainThread;
}

DWORD GetCurrentThreadId()
{
    return static_cast<DWORD>(syscall(SYS_gettid));
}

HWND RegisterWindowHandle(WindowProcedure* procedure, GtkWidget* widget)
{
    std::lock_guard lock(g_windowsMutex);
    HWND hwnd = reinterpret_cast<HWND>(g_nextHandle++);
    WindowEntry entry;
    entry.procedure = procedure;
    entry.widget = widget;
    g_windows.emplace(hwnd, std::move(entry));
    return hwnd;
}

void UnregisterWindowHandle(HWND hWnd)
{
    std::deque<Delivery> dropped;
    {
        std::lock_guard lock(g_windowsMutex);
        auto found = g_windows.find(hWnd);
        if (found == g_windows.end())
            return;
        dropped = std::move(found->second.held);
        g_windows.erase(found);
    }
    for (const Delivery& delivery : dropped)
        Undeliverable(delivery);
}

void SetWindowDelivery(HWND hWnd, bool deliver)
{
    std::lock_guard lock(g_windowsMutex);
    auto found = g_windows.find(hWnd);
    if (found == g_windows.end())
        return;
    WindowEntry& entry = found->second;
    entry.delivering = deliver;
    if (deliver && !entry.held.empty() && !entry.flushScheduled) {
        entry.flushScheduled = true;
        ScheduleFlush(hWnd);
    }
}

GtkWidget* GetWindowWidget(HWND hWnd)
{
    std::lock_guard lock(g_windowsMutex);
    auto found = g_windows.find(hWnd);
    return found == g_windows.end() ? nullptr : found->second.widget;
}

WindowProcedure* GetWindowProcedure(HWND hWnd)
{
    std::lock_guard lock(g_windowsMutex);
    auto found = g_windows.find(hWnd);
    return found == g_windows.end() ? nullptr : found->second.procedure;
}

BOOL IsWindow(HWND hWnd)
{
    std::lock_guard lock(g_windowsMutex);
    return g_windows.count(hWnd) ? TRUE : FALSE;
}

LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsMainThread()) {
        WindowProcedure* procedure = nullptr;
        {
            std::lock_guard lock(g_windowsMutex);
            auto found = g_windows.find(hWnd);
            if (found != g_windows.end())
                procedure = found->second.procedure;
        }
        if (!procedure) {
            FreeRecord(message, wParam, lParam);
            return 0;
        }
        return procedure->WindowProc(message, wParam, lParam);
    }
    if (!IsWindow(hWnd)) {
        FreeRecord(message, wParam, lParam);
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
        FreeRecord(message, wParam, lParam);
        return FALSE;
    }
    // A post never runs the procedure inside the call, even on the main thread.
    QueueOnMainLoop(Delivery{hWnd, message, wParam, lParam, nullptr});
    return TRUE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (threadId == GetCurrentThreadId())
        OwnQueue();
    auto queue = QueueOf(threadId, false);
    if (!queue)
        return FALSE;
    std::lock_guard lock(queue->mutex);
    queue->messages.push_back(MSG{nullptr, message, wParam, lParam});
    queue->pending = queue->messages.size();
    return TRUE;
}

BOOL PeekThreadQueue(MSG* msg, HWND, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    ThreadQueue* queue = &OwnQueue();
    if (queue->pending == 0)
        return FALSE;
    std::lock_guard lock(queue->mutex);
    for (auto it = queue->messages.begin(); it != queue->messages.end(); ++it) {
        bool inRange = (filterMin == 0 && filterMax == 0) || (it->message >= filterMin && it->message <= filterMax);
        if (!inRange)
            continue;
        *msg = *it;
        if (removeFlags & PM_REMOVE) {
            queue->messages.erase(it);
            queue->pending = queue->messages.size();
        }
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;  // no keyboard messages travel through thread queues here
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (!msg || !msg->hwnd)
        return 0;  // a thread message has no window procedure
    return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void SetMessageRecordDeleter(UINT message, MessageRecordDeleter deleter)
{
    std::lock_guard lock(g_windowsMutex);
    g_deleters[message] = deleter;
}
