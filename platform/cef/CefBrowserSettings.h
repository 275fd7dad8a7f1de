// CefBrowserSettings: per-browser settings; every one keeps the engine's default.
#pragma once

#include <cstddef>

struct CefBrowserSettings {
    std::size_t size = sizeof(CefBrowserSettings);
};
