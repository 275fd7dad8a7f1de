// Running the GLib main loop of the test's main thread, where the windows, the web views and the
// messages sent to windows are served.
#pragma once

#include <chrono>
#include <functional>

// Runs the main loop until done() answers true; false when the limit came first.
bool RunLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(30));
// Runs the main loop for this long.
void RunLoopFor(std::chrono::milliseconds duration);
