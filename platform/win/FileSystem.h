// File and folder functions. Paths keep the launcher's backslashes; these functions turn "\"
// into "/" and fold "." and ".." away from the text where they touch the file system.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes = 0;
    ULONGLONG nFileSize = 0;
    std::wstring cFileName;
};

// The path as Windows reads it before its file system sees it: "\" and "/" both separate, and
// "." and ".." are folded away from the text ("Zorv_Data\..\Data\x" is "Data/x" whether
// Zorv_Data is a folder, a link elsewhere or nothing). A ".." above the start of a relative path
// stays and counts from the current folder; one above the root is dropped. Separators come out
// as "/", repeated ones as one; a trailing one stays. A relative path that folds to nothing is
// "."; an empty path stays empty.
std::wstring FoldedPath(std::wstring_view path);
// The UTF-8 file-system path of a launcher path: its folded path.
std::string NativePath(LPCWSTR path);

BOOL DeleteFileW(LPCWSTR path);
// One folder; its parent must exist. The security attributes are not used.
BOOL CreateDirectoryW(LPCWSTR path, void* securityAttributes);
BOOL PathFileExistsW(LPCWSTR path);
BOOL PathIsDirectoryW(LPCWSTR path);
BOOL SetCurrentDirectoryW(LPCWSTR path);

// Only an existence test of the named entry (no wildcards): INVALID_HANDLE_VALUE when there is
// none, else a handle for FindClose.
HANDLE FindFirstFileW(LPCWSTR path, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE find);

// The running executable's handle: null; the module name is not used.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
// The whole path of the running executable as the file system names it (/proc/self/exe), without
// a length limit; empty when it cannot be read.
std::string ExecutablePath();
// ExecutablePath as launcher text.
std::wstring GetModuleFilePath();
