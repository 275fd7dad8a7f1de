// Window handles and their message delivery on the GTK main loop, with the meaning of
// SendMessageW / PostMessageW / PeekMessageW the launcher relies on.
//
// Every window lives on the main thread (the thread that ran static initialisation and runs
// the GLib default main context). A window object implements WindowProcedure and registers
// itself to get a handle; messages to it are delivered only while it accepts delivery.
#pragma once

#include <atomic>
#include <cstddef>

#include "platform/win/WinTypes.h"

typedef struct _GtkWidget GtkWidget;

class WindowProcedure {
public:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~WindowProcedure() = default;
};

// Main thread only. The widget is the window's container (a GtkFixed for a dialog); may be
// null for a window without one. A new handle holds back its messages until delivery is on.
HWND RegisterWindowHandle(WindowProcedure* procedure, GtkWidget* widget = nullptr);
// Main thread only. Messages still queued for the window are dropped (their records freed);
// senders waiting on it get 0.
void UnregisterWindowHandle(HWND hWnd);
// Main thread only. Turns delivery on (queued messages then follow in order) or off.
void SetWindowDelivery(HWND hWnd, bool deliver);
GtkWidget* GetWindowWidget(HWND hWnd);
// The procedure registered for the handle; null for a gone window.
WindowProcedure* GetWindowProcedure(HWND hWnd);
BOOL IsWindow(HWND hWnd);

// Same thread as the window: the procedure is called directly. Another thread: the message goes
// to the main loop and the caller blocks until the procedure has returned. A gone window: 0 at once.
LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message and returns; FALSE for a gone window.
BOOL PostMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);

// The number of messages in the calling thread's queue; null until the thread first peeks.
extern thread_local constinit const std::atomic<std::size_t>* t_threadQueueLength;
BOOL PeekThreadQueue(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeFlags);

// The calling thread's own queue: what was posted to the thread with PostThreadMessageW. The first
// call makes the queue, as on Windows; an empty queue is then seen without a call or a lock.
inline BOOL PeekMessageW(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    const std::atomic<std::size_t>* length = t_threadQueueLength;
    if (length && length->load(std::memory_order_acquire) == 0)
        return FALSE;
    return PeekThreadQueue(msg, hWnd, filterMin, filterMax, removeFlags);
}
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);

// A message that carries an owned record in lParam registers how to free it; the layer frees
// the record of such a message when it cannot be delivered (window gone before or while queued).
using MessageRecordDeleter = void (*)(WPARAM wParam, LPARAM lParam);
void SetMessageRecordDeleter(UINT message, MessageRecordDeleter deleter);

DWORD GetCurrentThreadId();
bool IsMainThread();
