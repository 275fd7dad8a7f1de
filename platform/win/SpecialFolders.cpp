#include "platform/win/SpecialFolders.h"

#include <glib.h>

#include <cwchar>
#include <string>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"
#include "platform/win/UserFolders.h"

struct ITEMIDLIST {
    std::wstring path;
};

namespace {

thread_local int t_comInitialised = 0;

// Like My Documents on Windows, the documents folder is always there for a user with a home.
std::string ExistingDocumentsFolder()
{
    if (!g_file_test(HomeFolder().c_str(), G_FILE_TEST_IS_DIR))
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
