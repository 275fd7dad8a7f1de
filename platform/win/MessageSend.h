// Sending and posting to a window, from its own thread or another, with the meaning of
// SendMessageW / PostMessageW the launcher relies on: every window lives on the main thread.
#pragma once

#include "platform/win/WinTypes.h"

// Same thread as the window: the procedure is called directly. Another thread: the message goes
// to the main loop and the caller blocks until the procedure has returned. A gone window: 0 at once.
LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message and returns; FALSE for a gone window.
BOOL PostMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
