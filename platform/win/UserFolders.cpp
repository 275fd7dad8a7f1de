#include "platform/win/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()))
        return entry->pw_dir;
    return {};
}

std::string DocumentsFolder()
{
    std::string home = HomeFolder();
    if (home.empty())
        return {};
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::ifstream dirs((config && *config ? std::string(config) : home + "/.config") + "/user-dirs.dirs");
    for (std::string line; std::getline(dirs, line);) {
        const std::string key = "XDG_DOCUMENTS_DIR=\"";
        if (line.rfind(key, 0) != 0 || line.back() != '"')
            continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        if (!value.empty() && value[0] == '/')
            return value;
    }
    return home + "/Documents";
}

std::string CacheFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    return cache && cache[0] == '/' ? std::string(cache) : HomeFolder() + "/.cache";
}
