// Each thread's own message queue: what was posted to the thread with PostThreadMessageW, read
// with PeekMessageW.
#pragma once

#include <atomic>
#include <cstddef>

#include "platform/win/WinTypes.h"

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);

// The number of messages in the calling thread's queue; null until the thread first peeks.
extern thread_local constinit const std::atomic<std::size_t>* t_threadQueueLength;
BOOL PeekThreadQueue(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeFlags);

// The calling thread's own queue. The first call makes the queue, as on Windows; an empty queue
// is then seen without a call or a lock.
inline BOOL PeekMessageW(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    const std::atomic<std::size_t>* length = t_threadQueueLength;
    if (length && length->load(std::memory_order_acquire) == 0)
        return FALSE;
    return PeekThreadQueue(msg, hWnd, filterMin, filterMax, removeFlags);
}
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
