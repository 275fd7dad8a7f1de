// The user's own folders, read from the environment at every call. GLib's g_get_home_dir and
// g_get_user_cache_dir read it once and keep that for the process, and a reload of its special
// folders keeps a folder the settings file no longer names; these follow HOME, XDG_CONFIG_HOME,
// XDG_CACHE_HOME and user-dirs.dirs as they are when asked.
#pragma once

#include <string>

// $HOME, else the home folder of the user's account; empty when there is neither.
std::string HomeFolder();
// XDG_DOCUMENTS_DIR of user-dirs.dirs in $XDG_CONFIG_HOME (else ~/.config), "$HOME/..." or an
// absolute path, else ~/Documents; empty without a home folder. Whether it exists is not asked.
std::string DocumentsFolder();
// $XDG_CACHE_HOME when it is absolute, else ~/.cache.
std::string CacheFolder();
