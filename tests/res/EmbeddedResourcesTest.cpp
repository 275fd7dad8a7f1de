#include "platform/win/EmbeddedResources.h"

#include "platform/win/GObjectPtr.h"
#include "res/resource.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

std::uint16_t Read16(ResourceBytes bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t Read32(ResourceBytes bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(Read16(bytes, at)) |
           static_cast<std::uint32_t>(Read16(bytes, at + 2)) << 16;
}

std::int32_t ReadSigned32(ResourceBytes bytes, std::size_t at)
{
    return static_cast<std::int32_t>(Read32(bytes, at));
}

using Pixbuf = GObjectPtr<GdkPixbuf>;

// Decodes with gdk-pixbuf, as the window layer does; null when the bytes are no image.
Pixbuf Decode(ResourceBytes bytes)
{
    GObjectPtr<GdkPixbufLoader> loader(gdk_pixbuf_loader_new());
    GdkPixbuf* pixbuf = nullptr;
    if (gdk_pixbuf_loader_write(loader.get(), bytes.data(), bytes.size(), nullptr) &&
        gdk_pixbuf_loader_close(loader.get(), nullptr)) {
        pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
        if (pixbuf)
            g_object_ref(pixbuf);
    } else {
        gdk_pixbuf_loader_close(loader.get(), nullptr);
    }
    return Pixbuf(pixbuf);
}

Pixbuf DecodeBitmap(int id)
{
    return Decode(FindBitmapResource(id));
}

struct Rgb {
    int red;
    int green;
    int blue;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kKeyColour = {228, 207, 224};

Rgb PixelAt(const GdkPixbuf* pixbuf, int x, int y)
{
    const guint8* pixel = gdk_pixbuf_read_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) +
                          x * gdk_pixbuf_get_n_channels(pixbuf);
    return {pixel[0], pixel[1], pixel[2]};
}

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

// Pixels of the area that have the key colour.
int KeyPixelsIn(const GdkPixbuf* pixbuf, Rect area)
{
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            count += PixelAt(pixbuf, x, y) == kKeyColour;
    return count;
}

bool SamePixels(const GdkPixbuf* first, Rect firstArea, const GdkPixbuf* second, int x, int y)
{
    for (int row = 0; row < firstArea.height; ++row)
        for (int column = 0; column < firstArea.width; ++column)
            if (!(PixelAt(first, firstArea.x + column, firstArea.y + row) ==
                  PixelAt(second, x + column, y + row)))
                return false;
    return true;
}

Rect Whole(const GdkPixbuf* pixbuf)
{
    return {0, 0, gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf)};
}

struct BitmapCase {
    int id;
    int width;
    int height;
    int bitsPerPixel;
};

constexpr BitmapCase kBitmaps[] = {
    {IDB_CLOSE_HOVER, 28, 28, 24},
    {IDB_CLOSE_NORMAL, 28, 28, 24},
    {IDB_CLOSE_PRESSED, 28, 28, 24},
    {IDB_MINIMIZE_HOVER, 21, 25, 24},
    {IDB_MINIMIZE_NORMAL, 21, 25, 24},
    {IDB_MINIMIZE_PRESSED, 21, 25, 24},
    {IDB_PROGRESS_TOTAL_FILL, 317, 19, 24},
    {IDB_PROGRESS_FILE_FILL, 317, 19, 24},
    {IDB_PROGRESS_TOTAL_TRACK, 317, 19, 24},
    {IDB_PROGRESS_FILE_TRACK, 317, 19, 24},
    {IDB_LAUNCHER_BACKGROUND, 1200, 700, 32},
    {IDB_UPDATE_BACKGROUND, 461, 210, 24},
    {IDB_TEXT_TOTAL_BACKGROUND, 50, 16, 24},
    {IDB_TEXT_FILE_BACKGROUND, 50, 16, 24},
    {IDB_TEXT_STATUS_BACKGROUND, 170, 16, 24},
};

TEST(EmbeddedBitmaps, EachIsAnUncompressedBottomUpBmpOfItsSizeAndDepth)
{
    for (const BitmapCase& expected : kBitmaps) {
        SCOPED_TRACE("bitmap " + std::to_string(expected.id));
        const ResourceBytes bytes = FindBitmapResource(expected.id);
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(Read32(bytes, 2), bytes.size());
        EXPECT_EQ(Read32(bytes, 14), 40u);  // BITMAPINFOHEADER
        EXPECT_EQ(ReadSigned32(bytes, 18), expected.width);
        EXPECT_EQ(ReadSigned32(bytes, 22), expected.height);  // positive: bottom-up
        EXPECT_EQ(Read16(bytes, 26), 1);
        EXPECT_EQ(Read16(bytes, 28), expected.bitsPerPixel);
        EXPECT_EQ(Read32(bytes, 30), 0u);  // BI_RGB
        const std::size_t rowBytes = (expected.width * expected.bitsPerPixel / 8 + 3) / 4 * 4;
        EXPECT_EQ(bytes.size(), Read32(bytes, 10) + rowBytes * expected.height);

        const Pixbuf pixbuf = Decode(bytes);
        ASSERT_TRUE(pixbuf);
        EXPECT_EQ(gdk_pixbuf_get_width(pixbuf.get()), expected.width);
        EXPECT_EQ(gdk_pixbuf_get_height(pixbuf.get()), expected.height);
    }
}

TEST(EmbeddedBitmaps, NumbersOfNoBitmapFindNothing)
{
    for (int id : {0, 102, IDI_LAUNCHER, 129, 145, 1000, -130, 65536 + 130}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(FindBitmapResource(id).empty());
    }
}

TEST(EmbeddedIcon, GroupHoldsThreeThirtyTwoBitImagesLargestFirst)
{
    const ResourceBytes bytes = FindIconResource(IDI_LAUNCHER);
    ASSERT_GE(bytes.size(), 6u + 3 * 16);
    EXPECT_EQ(Read16(bytes, 0), 0);
    EXPECT_EQ(Read16(bytes, 2), 1);  // icon, not cursor
    ASSERT_EQ(Read16(bytes, 4), 3);
    const int sizes[] = {64, 32, 16};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("image " + std::to_string(sizes[i]));
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(bytes[entry], sizes[i]);
        EXPECT_EQ(bytes[entry + 1], sizes[i]);
        EXPECT_EQ(Read16(bytes, entry + 6), 32);
        const std::uint32_t length = Read32(bytes, entry + 8);
        const std::uint32_t offset = Read32(bytes, entry + 12);
        ASSERT_LE(std::size_t{offset} + length, bytes.size());
        // The image itself: a 40-byte header whose height counts colour rows and mask rows.
        EXPECT_EQ(Read32(bytes, offset), 40u);
        EXPECT_EQ(ReadSigned32(bytes, offset + 4), sizes[i]);
        EXPECT_EQ(ReadSigned32(bytes, offset + 8), 2 * sizes[i]);
        EXPECT_EQ(Read16(bytes, offset + 14), 32);
        const std::uint32_t maskRowBytes = (sizes[i] + 31) / 32 * 4;
        EXPECT_EQ(length, 40 + (4 * sizes[i] + maskRowBytes) * sizes[i]);
    }

    const Pixbuf pixbuf = Decode(bytes);
    ASSERT_TRUE(pixbuf);
    EXPECT_EQ(gdk_pixbuf_get_width(pixbuf.get()), 64);
    EXPECT_TRUE(gdk_pixbuf_get_has_alpha(pixbuf.get()));
}

TEST(EmbeddedIcon, NumbersOfNoIconFindNothing)
{
    for (int id : {0, 127, 129, IDB_CLOSE_HOVER, IDB_LAUNCHER_BACKGROUND}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(FindIconResource(id).empty());
    }
}

struct SkinCase {
    int id;
    Rect controls[5];
};

// Where the windows put their controls and the browser: the window region must not cut them.
const SkinCase kSkins[] = {
    {IDB_LAUNCHER_BACKGROUND,
     {{390, 215, 682, 404}, {1102, 197, 28, 28}, {1121, 232, 21, 25}}},
    {IDB_UPDATE_BACKGROUND,
     {{43, 107, 317, 19}, {43, 137, 317, 19}, {368, 111, 50, 16}, {368, 141, 50, 16},
      {145, 164, 170, 16}}},
};

TEST(Skins, CornersAreCutAwayInTheKeyColourAndNoControlIs)
{
    for (const SkinCase& skin : kSkins) {
        SCOPED_TRACE("skin " + std::to_string(skin.id));
        const Pixbuf pixbuf = DecodeBitmap(skin.id);
        ASSERT_TRUE(pixbuf);
        const int right = gdk_pixbuf_get_width(pixbuf.get()) - 1;
        const int bottom = gdk_pixbuf_get_height(pixbuf.get()) - 1;
        EXPECT_EQ(PixelAt(pixbuf.get(), 0, 0), kKeyColour);
        EXPECT_EQ(PixelAt(pixbuf.get(), right, 0), kKeyColour);
        EXPECT_EQ(PixelAt(pixbuf.get(), 0, bottom), kKeyColour);
        EXPECT_EQ(PixelAt(pixbuf.get(), right, bottom), kKeyColour);
        for (const Rect& control : skin.controls)
            EXPECT_EQ(KeyPixelsIn(pixbuf.get(), control), 0)
                << "at " << control.x << ", " << control.y;
    }
}

// Pixels of one kind (key colour or not) that are reached from the seed through neighbours of
// the same kind, four-connected.
int ConnectedPixels(const GdkPixbuf* pixbuf, int seedX, int seedY)
{
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const bool key = PixelAt(pixbuf, seedX, seedY) == kKeyColour;
    std::vector<bool> seen(static_cast<std::size_t>(width) * height);
    std::vector<std::pair<int, int>> pending = {{seedX, seedY}};
    seen[static_cast<std::size_t>(seedY) * width + seedX] = true;
    int count = 0;
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        ++count;
        const std::pair<int, int> neighbours[] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto& [nx, ny] : neighbours) {
            if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                continue;
            const std::size_t at = static_cast<std::size_t>(ny) * width + nx;
            if (!seen[at] && (PixelAt(pixbuf, nx, ny) == kKeyColour) == key) {
                seen[at] = true;
                pending.emplace_back(nx, ny);
            }
        }
    }
    return count;
}

TEST(Skins, WindowIsOnePieceWithoutHoles)
{
    for (const SkinCase& skin : kSkins) {
        SCOPED_TRACE("skin " + std::to_string(skin.id));
        const Pixbuf pixbuf = DecodeBitmap(skin.id);
        ASSERT_TRUE(pixbuf);
        const int keyPixels = KeyPixelsIn(pixbuf.get(), Whole(pixbuf.get()));
        const int allPixels = gdk_pixbuf_get_width(pixbuf.get()) * gdk_pixbuf_get_height(pixbuf.get());
        // Every cut-away pixel belongs to the surround, every other one to a single window.
        EXPECT_EQ(ConnectedPixels(pixbuf.get(), 0, 0), keyPixels);
        const Rect inside = skin.controls[0];
        EXPECT_EQ(ConnectedPixels(pixbuf.get(), inside.x, inside.y), allPixels - keyPixels);
    }
}

TEST(LabelBackgrounds, RepeatTheUpdateSkinUnderTheirLabels)
{
    const Pixbuf skin = DecodeBitmap(IDB_UPDATE_BACKGROUND);
    ASSERT_TRUE(skin);
    const struct {
        int id;
        int x;
        int y;
    } labels[] = {
        {IDB_TEXT_TOTAL_BACKGROUND, 368, 111},
        {IDB_TEXT_FILE_BACKGROUND, 368, 141},
        {IDB_TEXT_STATUS_BACKGROUND, 145, 164},
    };
    for (const auto& label : labels) {
        SCOPED_TRACE("bitmap " + std::to_string(label.id));
        const Pixbuf background = DecodeBitmap(label.id);
        ASSERT_TRUE(background);
        EXPECT_TRUE(SamePixels(background.get(), Whole(background.get()), skin.get(), label.x,
                               label.y));
    }
}

TEST(StateImages, EveryStateOfAControlLooksDifferent)
{
    const int pairs[][2] = {
        {IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED},
        {IDB_CLOSE_NORMAL, IDB_CLOSE_HOVER},
        {IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER},
        {IDB_MINIMIZE_NORMAL, IDB_MINIMIZE_PRESSED},
        {IDB_MINIMIZE_NORMAL, IDB_MINIMIZE_HOVER},
        {IDB_MINIMIZE_PRESSED, IDB_MINIMIZE_HOVER},
        {IDB_PROGRESS_TOTAL_TRACK, IDB_PROGRESS_TOTAL_FILL},
        {IDB_PROGRESS_FILE_TRACK, IDB_PROGRESS_FILE_FILL},
        {IDB_PROGRESS_TOTAL_FILL, IDB_PROGRESS_FILE_FILL},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(std::to_string(pair[0]) + " and " + std::to_string(pair[1]));
        const Pixbuf one = DecodeBitmap(pair[0]);
        const Pixbuf other = DecodeBitmap(pair[1]);
        ASSERT_TRUE(one && other);
        EXPECT_FALSE(SamePixels(one.get(), Whole(one.get()), other.get(), 0, 0));
    }
}

}  // namespace
