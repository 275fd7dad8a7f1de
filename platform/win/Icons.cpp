#include "platform/win/Icons.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/win/ResourceNames.h"
#include "platform/win/EmbeddedResources.h"
#include "platform/win/ImageDecode.h"

struct HICON__ {
    std::vector<GObjectPtr<GdkPixbuf>> images;
};

namespace {

constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kIconEntrySize = 16;

std::uint32_t Read32(ResourceBytes bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// One image of the group, decoded as a file of its own: the icon loader takes the first image
// of a file only.
GObjectPtr<GdkPixbuf> DecodeEntry(ResourceBytes file, std::size_t entry)
{
    const std::uint32_t size = Read32(file, entry + 8);
    const std::uint32_t offset = Read32(file, entry + 12);
    if (offset > file.size() || size > file.size() - offset)
        return nullptr;
    std::vector<guint8> single(kIconDirSize + kIconEntrySize + size);
    std::memcpy(single.data(), file.data(), 4);
    single[4] = 1;
    std::memcpy(single.data() + kIconDirSize, file.data() + entry, 12);
    const std::uint32_t newOffset = kIconDirSize + kIconEntrySize;
    for (int i = 0; i < 4; ++i)
        single[kIconDirSize + 12 + i] = static_cast<guint8>(newOffset >> (8 * i));
    std::memcpy(single.data() + newOffset, file.data() + offset, size);
    return DecodeImage(single, "ico");
}

std::unique_ptr<HICON__> DecodeIcon(ResourceBytes file)
{
    if (file.size() < kIconDirSize || file[2] != 1 || file[3] != 0)
        return nullptr;
    const std::size_t count = file[4] | file[5] << 8;
    if (file.size() < kIconDirSize + count * kIconEntrySize)
        return nullptr;
    auto icon = std::make_unique<HICON__>();
    for (std::size_t i = 0; i < count; ++i)
        if (GObjectPtr<GdkPixbuf> image = DecodeEntry(file, kIconDirSize + i * kIconEntrySize))
            icon->images.push_back(std::move(image));
    if (icon->images.empty())
        return nullptr;
    std::stable_sort(icon->images.begin(), icon->images.end(), [](const auto& first, const auto& second) {
        return gdk_pixbuf_get_width(first.get()) > gdk_pixbuf_get_width(second.get());
    });
    return icon;
}

}  // namespace

HICON LoadIconW(HINSTANCE, LPCWSTR name)
{
    // Main thread only, like every window function; the icons live until the process ends.
    static std::map<int, std::unique_ptr<HICON__>> loaded;
    const int id = ResourceNumber(name);
    if (id < 0)
        return nullptr;
    auto found = loaded.find(id);
    if (found == loaded.end()) {
        std::unique_ptr<HICON__> icon = DecodeIcon(FindIconResource(id));
        if (!icon)
            return nullptr;
        found = loaded.emplace(id, std::move(icon)).first;
    }
    return found->second.get();
}

int GetSystemMetrics(int index)
{
    return index == SM_CXICON || index == SM_CYICON ? 32 : 0;
}

const std::vector<GObjectPtr<GdkPixbuf>>& IconImages(HICON icon)
{
    static const std::vector<GObjectPtr<GdkPixbuf>> none;
    return icon ? icon->images : none;
}
