#include "platform/win/MouseTracking.h"

#include <set>

#include "platform/win/WindowHandles.h"

namespace {

std::set<HWND>& Requests()
{
    static std::set<HWND> requests;
    return requests;
}

}  // namespace

BOOL TrackMouseEvent(TRACKMOUSEEVENT* request)
{
    if (!request || request->cbSize != sizeof(TRACKMOUSEEVENT) || request->dwFlags != TME_LEAVE ||
        !IsWindow(request->hwndTrack))
        return FALSE;
    Requests().insert(request->hwndTrack);
    return TRUE;
}

bool TakeMouseLeaveRequest(HWND window)
{
    return Requests().erase(window) > 0;
}
