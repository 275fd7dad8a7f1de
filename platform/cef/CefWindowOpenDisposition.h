// How a page asked for a new browser, as the framework numbers it.
#pragma once

enum cef_window_open_disposition_t {
    WOD_UNKNOWN = 0,
    WOD_SUPPRESS_OPEN = 1,
    WOD_CURRENT_TAB = 2,
    WOD_SINGLETON_TAB = 3,
    WOD_NEW_FOREGROUND_TAB = 4,
    WOD_NEW_BACKGROUND_TAB = 5,
    WOD_NEW_POPUP = 6,
    WOD_NEW_WINDOW = 7,
};
