#include "platform/win/SpecialFolders.h"

#include <glib.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <string>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"

struct ITEMIDLIST {
    std::wstring path;
};

namespace {

thread_local int t_comInitialised = 0;

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()))
        return entry->pw_dir;
    return {};
}

// XDG_DOCUMENTS_DIR of ~/.config/user-dirs.dirs ("$HOME/..." or an absolute path), else
// $HOME/Documents.
std::string DocumentsFolder()
{
    std::string home = HomeFolder();
    if (home.empty())
        return {};
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string file = (config && *config ? std::string(config) : home + "/.config") + "/user-dirs.dirs";
    std::ifstream dirs(file);
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

bool IsDirectory(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Like My Documents on Windows, the documents folder is always there for a user with a home.
std::string ExistingDocumentsFolder()
{
    if (!IsDirectory(HomeFolder()))
        return {};
    std::string documents = DocumentsFolder();
    // The folder and the parents it lacks, as the desktop's user-dirs tool makes them.
    return g_mkdir_with_parents(documents.c_str(), 0755) == 0 ? documents : std::string();
}

std::wstring FolderOf(int folder)
{
    std::string path = folder == CSIDL_PROFILE ? HomeFolder() : folder == CSIDL_PERSONAL ? ExistingDocumentsFolder() : std::string();
    std::wstring wide = Utf8ToWide(path);
    return !wide.empty() && PathIsDirectoryW(wide.c_str()) ? wide : std::wstring();
}

bool CopyPath(const std::wstring& path, LPWSTR buffer)
{
    if (path.empty() || path.size() >= static_cast<size_t>(MAX_PATH))
        return false;
    std::wmemcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}

class ShellAllocator : public IMalloc {
public:
    void Free(void* block) override { delete static_cast<ITEMIDLIST*>(block); }
    unsigned long Release() override { return 1; }  // one allocator for the whole process
};

}  // namespace

HRESULT CoInitialize(void*)
{
    return t_comInitialised++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_comInitialised > 0)
        --t_comInitialised;
}

HRESULT SHGetMalloc(IMalloc** allocator)
{
    static ShellAllocator shared;
    if (!allocator)
        return E_FAIL;
    *allocator = &shared;
    return S_OK;
}

BOOL SHGetSpecialFolderPathW(HWND, LPWSTR path, int folder, BOOL)
{
    return path && CopyPath(FolderOf(folder), path) ? TRUE : FALSE;
}

HRESULT SHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST* list)
{
    if (!list)
        return E_FAIL;
    *list = nullptr;
    std::wstring path = FolderOf(folder);
    if (path.empty())
        return E_FAIL;
    *list = new ITEMIDLIST{path};
    return S_OK;
}

BOOL SHGetPathFromIDListW(LPCITEMIDLIST list, LPWSTR path)
{
    return list && path && CopyPath(list->path, path) ? TRUE : FALSE;
}
