#include "platform/cef/CefNewWindowDisposition.h"

cef_window_open_disposition_t CefNewWindowDisposition(WebKitNavigationType navigationType, guint mouseButton,
                                                      guint modifiers)
{
    if (navigationType == WEBKIT_NAVIGATION_TYPE_OTHER)
        return WOD_NEW_POPUP;
    bool shift = (modifiers & GDK_SHIFT_MASK) != 0;
    if (mouseButton == 2 || (modifiers & GDK_CONTROL_MASK))
        return shift ? WOD_NEW_FOREGROUND_TAB : WOD_NEW_BACKGROUND_TAB;
    return shift ? WOD_NEW_WINDOW : WOD_NEW_FOREGROUND_TAB;
}
