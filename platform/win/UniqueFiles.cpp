#include "platform/win/UniqueFiles.h"

#include <stdlib.h>
#include <unistd.h>

#include <string_view>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"

std::wstring CreateUniqueFile(LPCWSTR stem, LPCWSTR extension)
{
    constexpr std::string_view kRandomPart = ".XXXXXX";
    std::string suffix = NativePath(extension);
    std::string name = NativePath(stem);
    name += kRandomPart;
    name += suffix;
    // O_CREAT | O_EXCL, trying other names while one exists.
    int descriptor = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (descriptor < 0)
        return std::wstring();
    ::close(descriptor);
    std::string_view made = std::string_view(name).substr(name.size() - suffix.size() - kRandomPart.size(), kRandomPart.size());
    return std::wstring(stem) + Utf8ToWide(made) + extension;
}
