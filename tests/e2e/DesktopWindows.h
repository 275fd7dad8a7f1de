// The windows of the test's X11 display, found and worked as a player would, through xdotool.
// Every call is bounded in time; window ids are xdotool's decimal texts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct WindowSize {
    int width = 0;
    int height = 0;
};

namespace DesktopWindows {

// The visible windows whose title is exactly title.
std::vector<std::string> Titled(const std::string& title);
// Zero when the window has gone.
WindowSize SizeOf(const std::string& window);
// Moves the window's top left corner to a point of the screen (negative: beyond its left or top).
void Move(const std::string& window, int x, int y);
// A left click at a point of the window, relative to its top left corner.
void Click(const std::string& window, int x, int y);
// A key ("Return", "Escape") pressed in the window, which takes the focus first.
void Press(const std::string& window, const std::string& key);
void Screenshot(const std::filesystem::path& file);

}  // namespace DesktopWindows
