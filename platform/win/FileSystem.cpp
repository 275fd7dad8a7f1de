#include "platform/win/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/win/Text.h"

namespace {

struct FindHandle {
    int unused = 0;
};

}  // namespace

std::wstring FoldedPath(std::wstring_view path)
{
    if (path.empty())
        return {};
    auto isSeparator = [](wchar_t unit) { return unit == L'\\' || unit == L'/'; };
    const bool absolute = isSeparator(path.front());
    std::wstring folded = absolute ? L"/" : L"";
    // Where each name that a later ".." may fold away starts in folded.
    std::vector<size_t> names;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = start;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        std::wstring_view name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == L".")
            continue;
        if (name == L"..") {
            if (!names.empty()) {
                folded.resize(names.back());
                names.pop_back();
                continue;
            }
            if (absolute)
                continue;
        } else {
            names.push_back(folded.size());
        }
        if (!folded.empty() && folded.back() != L'/')
            folded += L'/';
        folded += name;
    }
    if (folded.empty())
        folded = L".";
    if (isSeparator(path.back()) && folded.back() != L'/')
        folded += L'/';
    return folded;
}

std::string NativePath(LPCWSTR path)
{
    return WideToUtf8(FoldedPath(path ? path : L""));
}

BOOL DeleteFileW(LPCWSTR path)
{
    std::string native = NativePath(path);
    struct stat info{};
    if (native.empty() || lstat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return FALSE;
    return unlink(native.c_str()) == 0 ? TRUE : FALSE;
}

BOOL CreateDirectoryW(LPCWSTR path, void*)
{
    std::string native = NativePath(path);
    return !native.empty() && mkdir(native.c_str(), 0777) == 0 ? TRUE : FALSE;
}

BOOL PathFileExistsW(LPCWSTR path)
{
    std::string native = NativePath(path);
    struct stat info{};
    return !native.empty() && stat(native.c_str(), &info) == 0 ? TRUE : FALSE;
}

BOOL PathIsDirectoryW(LPCWSTR path)
{
    std::string native = NativePath(path);
    struct stat info{};
    return !native.empty() && stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? TRUE : FALSE;
}

BOOL SetCurrentDirectoryW(LPCWSTR path)
{
    std::string native = NativePath(path);
    return !native.empty() && chdir(native.c_str()) == 0 ? TRUE : FALSE;
}

HANDLE FindFirstFileW(LPCWSTR path, WIN32_FIND_DATAW* data)
{
    std::string native = NativePath(path);
    struct stat info{};
    if (native.empty() || lstat(native.c_str(), &info) != 0)
        return INVALID_HANDLE_VALUE;
    if (data) {
        data->dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        data->nFileSize = static_cast<ULONGLONG>(info.st_size);
        std::string name = native.substr(native.find_last_of('/') == std::string::npos ? 0 : native.find_last_of('/') + 1);
        data->cFileName = Utf8ToWide(name);
    }
    return new FindHandle;
}

BOOL FindClose(HANDLE find)
{
    if (!find || find == INVALID_HANDLE_VALUE)
        return FALSE;
    delete static_cast<FindHandle*>(find);
    return TRUE;
}

HMODULE GetModuleHandleW(LPCWSTR)
{
    return nullptr;
}

std::string ExecutablePath()
{
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

std::wstring GetModuleFilePath()
{
    return Utf8ToWide(ExecutablePath());
}
