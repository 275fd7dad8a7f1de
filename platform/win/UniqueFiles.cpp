#include "platform/win/UniqueFiles.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"
#include "platform/win/UniqueDescriptor.h"

namespace {

constexpr std::string_view kRandomPart = ".XXXXXX";

}  // namespace

std::wstring CreateUniqueFile(LPCWSTR stem, LPCWSTR extension)
{
    std::string suffix = NativePath(extension);
    std::string name = NativePath(stem);
    name += kRandomPart;
    name += suffix;
    // O_CREAT | O_EXCL, trying other names while one exists.
    UniqueDescriptor made(mkstemps(name.data(), static_cast<int>(suffix.size())));
    if (!made.IsOpen())
        return std::wstring();
    std::string_view random = std::string_view(name).substr(name.size() - suffix.size() - kRandomPart.size(), kRandomPart.size());
    return std::wstring(stem) + Utf8ToWide(random) + extension;
}

void RemoveUniqueFiles(LPCWSTR stem, LPCWSTR extension)
{
    namespace fs = std::filesystem;
    const fs::path pattern = NativePath(stem);
    const std::string prefix = pattern.filename().string() + ".";
    const std::string suffix = NativePath(extension);
    const fs::path folder = pattern.has_parent_path() ? pattern.parent_path() : fs::path(".");
    auto madeHere = [&](const std::string& name) {
        if (name.size() != prefix.size() + kRandomPart.size() - 1 + suffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(suffix))
            return false;
        auto random = name.begin() + static_cast<std::ptrdiff_t>(prefix.size());
        // mkstemps draws from the ASCII letters and digits.
        return std::all_of(random, random + kRandomPart.size() - 1, [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        });
    };
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        std::error_code ignored;
        if (madeHere(entry->path().filename().string()) && entry->symlink_status(ignored).type() == fs::file_type::regular)
            fs::remove(entry->path(), ignored);
    }
}
