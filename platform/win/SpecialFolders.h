// The user's special folders and the COM calls around them, as start-up uses them. "My Documents"
// is the XDG documents folder, made with its parents (mode 0755) when it is missing and the home
// folder exists; the profile folder is the home folder.
#pragma once

#include "platform/win/WinTypes.h"

constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_PROFILE = 0x0028;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);

inline bool SUCCEEDED(HRESULT result) { return result >= 0; }
inline bool FAILED(HRESULT result) { return result < 0; }

// An item-id list: here it holds the folder's path.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

// The shell allocator, reference counted; frees item-id lists.
class IMalloc {
public:
    virtual void Free(void* block) = 0;
    virtual unsigned long Release() = 0;

protected:
    ~IMalloc() = default;
};

// Nothing to set up on this platform: S_OK the first time on a thread, S_FALSE after that.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
HRESULT SHGetMalloc(IMalloc** allocator);

// FALSE when the folder is not known or does not exist; the buffer holds MAX_PATH units.
BOOL SHGetSpecialFolderPathW(HWND owner, LPWSTR path, int folder, BOOL create);
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
// The path of the list into a buffer of MAX_PATH units; FALSE when it does not fit.
BOOL SHGetPathFromIDListW(LPCITEMIDLIST list, LPWSTR path);
