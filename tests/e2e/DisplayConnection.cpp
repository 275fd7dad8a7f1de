#include "tests/e2e/DisplayConnection.h"

#include <X11/Xlib.h>

#include <cstdlib>

DisplayConnection::DisplayConnection() : m_display(XOpenDisplay(nullptr)) {}

DisplayConnection::~DisplayConnection()
{
    if (m_display)
        XCloseDisplay(m_display);
}

bool DisplayConnection::Shows(const std::string& window) const
{
    if (!m_display)
        return false;
    // A window that has gone answers with an error, which must not end the test.
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes attributes;
    const bool shown = XGetWindowAttributes(m_display, std::strtoul(window.c_str(), nullptr, 10), &attributes) &&
                       attributes.map_state == IsViewable;
    XSetErrorHandler(previous);
    return shown;
}
