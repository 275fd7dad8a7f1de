// CefMainArgs: the process's own command line, which the framework reads from the module
// instance on Windows; here from /proc/self/cmdline.
#pragma once

#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

struct CefMainArgs {
    // The instance handle is not used.
    explicit CefMainArgs(HINSTANCE instance);

    std::vector<std::string> argv;
};
