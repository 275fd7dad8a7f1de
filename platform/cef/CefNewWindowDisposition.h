// The disposition of a page's request for a new browser, from how WebKit says it was made:
// a script (window.open) asks for a popup; a link or form with a target asks for a foreground
// tab, a background tab with the middle button or Ctrl (foreground again with Shift as well), a
// new window with Shift.
#pragma once

#include <webkit2/webkit2.h>

#include "platform/cef/CefWindowOpenDisposition.h"

cef_window_open_disposition_t CefNewWindowDisposition(WebKitNavigationType navigationType, guint mouseButton,
                                                      guint modifiers);
