#include "tests/e2e/DesktopWindows.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

// In single quotes for the shell, each quote of the text closed, escaped and reopened.
std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Run(const std::string& arguments)
{
    std::string output;
    // timeout keeps a hanging xdotool from holding the test.
    if (FILE* pipe = ::popen(("timeout 10 xdotool " + arguments + " 2>/dev/null").c_str(), "r")) {
        char buffer[512];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

}  // namespace

namespace DesktopWindows {

std::vector<std::string> Titled(const std::string& title)
{
    // The titles the tests look for hold no pattern characters, so anchors make the match exact.
    std::istringstream lines(Run("search --onlyvisible --name " + Quoted("^" + title + "$")));
    std::vector<std::string> windows;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty())
            windows.push_back(line);
    }
    return windows;
}

WindowSize SizeOf(const std::string& window)
{
    std::istringstream lines(Run("getwindowgeometry --shell " + window));
    WindowSize size;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("WIDTH=", 0) == 0)
            size.width = std::stoi(line.substr(6));
        else if (line.rfind("HEIGHT=", 0) == 0)
            size.height = std::stoi(line.substr(7));
    }
    return size;
}

void Move(const std::string& window, int x, int y)
{
    Run("windowmove --sync " + window + " " + std::to_string(x) + " " + std::to_string(y));
}

void Click(const std::string& window, int x, int y)
{
    Run("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

void Press(const std::string& window, const std::string& key)
{
    // GTK drops key events sent to a window; a real key press goes to the focused window.
    Run("windowfocus --sync " + window + " key " + Quoted(key));
}

void Screenshot(const std::filesystem::path& file)
{
    std::string command = "timeout 20 import -window root " + Quoted(file.string()) + " 2>/dev/null";
    [[maybe_unused]] int status = std::system(command.c_str());
}

}  // namespace DesktopWindows
