// CefSettings: how CefInitialize sets up the engine.
#pragma once

#include <cstddef>

#include "platform/cef/CefString.h"

enum cef_log_severity_t {
    LOGSEVERITY_DEFAULT = 0,
    LOGSEVERITY_DISABLE = 99,
};

struct CefSettings {
    std::size_t size = sizeof(CefSettings);
    // WebKit's web processes always run without a sandbox here, whatever this says.
    int no_sandbox = 0;
    // WebKit's UI side lives on the GTK main thread, so the callbacks run there whatever this says.
    int multi_threaded_message_loop = 0;
    // The engine's preferred language ("zh-CN"); empty keeps WebKit's choice.
    CefString locale;
    // The engine keeps its cache and data in the folders this names below a Windows user's
    // temporary folder, placed below $XDG_CACHE_HOME (else ~/.cache); empty, or a path outside
    // that folder: WebKit's default folders.
    CefString cache_path;
    // WebKit keeps no log of the framework's kind, so there is nothing to switch off.
    cef_log_severity_t log_severity = LOGSEVERITY_DEFAULT;
};
