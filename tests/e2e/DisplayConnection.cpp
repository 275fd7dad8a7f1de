#include "tests/e2e/DisplayConnection.h"

#include <X11/Xlib.h>

DisplayConnection::DisplayConnection() : m_display(XOpenDisplay(nullptr)) {}

DisplayConnection::~DisplayConnection()
{
    if (m_display)
        XCloseDisplay(m_display);
}
