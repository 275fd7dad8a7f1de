// A connection to the test's X display, held for as long as the object lives. A bare X server
// resets when its last client leaves, and a program that connects during the reset fails; the
// launcher ends right after starting the game, so the test keeps the display alive as a desktop
// session would.
#pragma once

#include <string>

struct _XDisplay;

class DisplayConnection {
public:
    DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;
    ~DisplayConnection();

    bool Connected() const { return m_display != nullptr; }
    // Whether the window (an xdotool id) is mapped and viewable now: one round trip to the server,
    // quick enough to time the player's click by.
    bool Shows(const std::string& window) const;

private:
    _XDisplay* m_display = nullptr;
};
