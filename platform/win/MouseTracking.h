// TrackMouseEvent: a window asks to be told with WM_MOUSELEAVE when the pointer leaves it.
#pragma once

#include "platform/win/WinTypes.h"

constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

struct TRACKMOUSEEVENT {
    DWORD cbSize = 0;
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};

// Main thread. Only TME_LEAVE is supported; the request holds until the one WM_MOUSELEAVE that
// answers it. FALSE for another flag or a gone window.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* request);

// For the window layer, when the pointer has left the window: whether a leave notification was
// requested, which this answers.
bool TakeMouseLeaveRequest(HWND window);
