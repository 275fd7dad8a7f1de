// Finding a top-level window of any process by its title.
#pragma once

#include "platform/win/WinTypes.h"

// A top-level X11 window of any process (the root window's children and the window manager's
// _NET_CLIENT_LIST) whose title (_NET_WM_NAME, else WM_NAME) equals windowName without regard to
// case, as Windows compares titles. Window classes are a Windows notion: a class name finds
// nothing. The result names a foreign window and is good for a null test only. Any thread: it
// uses an X connection of its own.
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
