#include "platform/cef/CefMainArgs.h"

#include <fstream>
#include <iterator>

CefMainArgs::CefMainArgs(HINSTANCE)
{
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        argv.push_back(all.substr(start, end - start));
        start = end + 1;
    }
}
