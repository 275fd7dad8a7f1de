// Threads, waits and timers over std::thread and the GLib main loop.
#pragma once

#include <cstdint>

#include "platform/win/WinTypes.h"

using ThreadProcedure = unsigned (*)(void* argument);

// Starts the procedure at once (the security, stack size and flags are not used; the thread id
// is not given out) and returns the thread's handle, 0 when no thread could be started.
std::uintptr_t _beginthreadex(void* security, unsigned stackSize, ThreadProcedure procedure,
                              void* argument, unsigned initFlags, unsigned* threadId);

// For tests: while set, _beginthreadex starts no thread and returns 0, as when the system has none
// to give.
void RefuseThreadStarts(bool refuse);

// On the main thread the wait keeps the GLib main loop running, so messages sent by the awaited
// thread and its message boxes are still served while it waits.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// STILL_ACTIVE while the thread runs, then its procedure's result.
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
BOOL CloseHandle(HANDLE handle);

DWORD GetCurrentThreadId();
// The thread that ran static initialisation and runs the GLib default main context.
bool IsMainThread();

void Sleep(DWORD milliseconds);
// Milliseconds of a monotonic clock; wraps at 2^32 like the multimedia timer.
DWORD timeGetTime();
