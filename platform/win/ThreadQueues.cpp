#include "platform/win/ThreadQueues.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/win/MessageSend.h"
#include "platform/win/Threads.h"

thread_local constinit const std::atomic<std::size_t>* t_threadQueueLength = nullptr;

namespace {

struct ThreadQueue {
    std::mutex mutex;
    std::deque<MSG> messages;
    std::atomic<size_t> pending = 0;  // lets an empty queue be peeked without the lock
};
// Never destroyed: a thread let go without a join (its handle closed while it ran) may end while
// the process exits, and it still removes its queue.
std::mutex& g_queuesMutex = *new std::mutex;
std::map<DWORD, std::shared_ptr<ThreadQueue>>& g_queues = *new std::map<DWORD, std::shared_ptr<ThreadQueue>>;

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
