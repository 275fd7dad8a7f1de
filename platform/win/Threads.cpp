#include "platform/win/Threads.h"

#include <glib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

const std::thread::id g_mainThread = std::this_thread::get_id();
std::atomic<bool> g_refuseStarts = false;

struct ThreadState {
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    DWORD exitCode = STILL_ACTIVE;
};

// The handle's object. The running thread holds the state too, so closing the handle of a
// thread that still runs is safe: the thread is then let go. A wait that sees the thread finished
// joins it, so that its thread-local clean-up is over too.
struct ThreadHandle {
    std::shared_ptr<ThreadState> state = std::make_shared<ThreadState>();
    std::mutex joinMutex;
    std::thread thread;

    void Join()
    {
        std::lock_guard lock(joinMutex);
        if (thread.joinable())
            thread.join();
    }
    ~ThreadHandle()
    {
        if (thread.joinable())
            thread.detach();
    }
};

gboolean StopWaiting(gpointer flag)
{
    *static_cast<bool*>(flag) = true;
    return G_SOURCE_REMOVE;
}

}  // namespace

std::uintptr_t _beginthreadex(void*, unsigned, ThreadProcedure procedure, void* argument, unsigned,
                              unsigned* threadId)
{
    if (g_refuseStarts)
        return 0;
    auto* handle = new ThreadHandle;
    try {
        handle->thread = std::thread([state = handle->state, procedure, argument] {
            unsigned result = procedure(argument);
            {
                std::lock_guard lock(state->mutex);
                state->exitCode = result;
                state->finished = true;
            }
            state->ended.notify_all();
            g_main_context_wakeup(nullptr);
        });
    } catch (const std::system_error&) {
        delete handle;
        return 0;
    }
    if (threadId)
        *threadId = 0;
    return reinterpret_cast<std::uintptr_t>(handle);
}

void RefuseThreadStarts(bool refuse)
{
    g_refuseStarts = refuse;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    auto* thread = static_cast<ThreadHandle*>(handle);
    if (!thread)
        return WAIT_FAILED;
    ThreadState& state = *thread->state;
    auto isFinished = [&] {
        std::lock_guard lock(state.mutex);
        return state.finished;
    };
    if (IsMainThread()) {
        bool timedOut = false;
        guint timer = 0;
        if (milliseconds != INFINITE)
            timer = g_timeout_add(milliseconds, StopWaiting, &timedOut);
        while (!isFinished() && !timedOut)
            g_main_context_iteration(nullptr, TRUE);
        if (timer && !timedOut)
            g_source_remove(timer);
    } else {
        std::unique_lock lock(state.mutex);
        if (milliseconds == INFINITE)
            state.ended.wait(lock, [&] { return state.finished; });
        else
            state.ended.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return state.finished; });
    }
    if (!isFinished())
        return WAIT_TIMEOUT;
    thread->Join();
    return WAIT_OBJECT_0;
}

BOOL GetExitCodeThread(HANDLE handle, DWORD* exitCode)
{
    auto* thread = static_cast<ThreadHandle*>(handle);
    if (!thread || !exitCode)
        return FALSE;
    std::lock_guard lock(thread->state->mutex);
    *exitCode = thread->state->exitCode;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    if (!handle)
        return FALSE;
    delete static_cast<ThreadHandle*>(handle);
    return TRUE;
}

bool IsMainThread()
{
    return std::this_thread::get_id() == g_mainThread;
}

DWORD GetCurrentThreadId()
{
    return static_cast<DWORD>(syscall(SYS_gettid));
}

void Sleep(DWORD milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD timeGetTime()
{
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
