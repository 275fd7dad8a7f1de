#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/afx/CBitmap.h"
#include "platform/afx/CDC.h"
#include "platform/afx/CFont.h"
#include "platform/afx/CRgn.h"
#include "platform/afx/DialogTemplates.h"
#include "res/resource.h"
#include "tests/support/WindowTestSupport.h"

namespace {

// A 32-bit DIB section whose rows the test reads and writes itself.
struct Dib {
    Dib(int width, int height, bool bottomUp = true) : width(width), height(height)
    {
        const BITMAPINFO info = DibSectionInfo(width, height, bottomUp ? RowOrder::BottomUp : RowOrder::TopDown);
        bitmap.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        BITMAP object;
        bitmap.GetObject(sizeof(BITMAP), &object);
        pitch = object.bmWidthBytes;
        rowsBottomUp = bottomUp;
    }

    // Picture row y, as the DIB stores it.
    std::uint32_t* Row(int y) const
    {
        const int memoryRow = rowsBottomUp ? height - 1 - y : y;
        return reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(bits) + memoryRow * pitch);
    }
    COLORREF At(int x, int y) const
    {
        const std::uint32_t pixel = Row(y)[x];
        return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel));
    }
    void Set(int x, int y, COLORREF colour)
    {
        Row(y)[x] = static_cast<std::uint32_t>(GetRValue(colour)) << 16 |
                    static_cast<std::uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
    }
    void Fill(COLORREF colour)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                Set(x, y, colour);
    }

    int width;
    int height;
    int pitch = 0;
    bool rowsBottomUp = true;
    void* bits = nullptr;
    CBitmap bitmap;
};

// A memory context with the bitmap selected; deselected again at the end.
struct Selected {
    Selected(CBitmap& bitmap) { dc.CreateCompatibleDC(nullptr); previous = dc.SelectObject(&bitmap); }
    ~Selected() { dc.SelectObject(previous); }
    CDC dc;
    CBitmap* previous;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST(Bitmaps, ResourcesLoadWithTheirSizeAndDepthAndUnknownNumbersLoadNothing)
{
    struct Case {
        int id;
        LONG width;
        LONG height;
        WORD bitsPerPixel;
    };
    for (const Case& expected : {Case{IDB_UPDATE_BACKGROUND, 461, 210, 24}, Case{IDB_LAUNCHER_BACKGROUND, 1200, 700, 32},
                                 Case{IDB_PROGRESS_TOTAL_TRACK, 317, 19, 24}, Case{IDB_CLOSE_NORMAL, 28, 28, 24}}) {
        SCOPED_TRACE(expected.id);
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadBitmap(expected.id));
        BITMAP object;
        ASSERT_EQ(bitmap.GetObject(sizeof(BITMAP), &object), static_cast<int>(sizeof(BITMAP)));
        EXPECT_EQ(object.bmWidth, expected.width);
        EXPECT_EQ(object.bmHeight, expected.height);
        EXPECT_EQ(object.bmBitsPixel, expected.bitsPerPixel);
        EXPECT_EQ(object.bmBits, nullptr);
    }
    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(999));
    EXPECT_EQ(missing.GetSafeHandle(), nullptr);
}

TEST(Bitmaps, OnlyThirtyTwoBitSectionsAreMade)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
}

TEST(CDC, BitBltCopiesAPictureIntoSectionsOfEitherRowOrder)
{
    CBitmap source;
    ASSERT_TRUE(source.LoadBitmap(IDB_TEXT_STATUS_BACKGROUND));
    for (bool bottomUp : {true, false}) {
        SCOPED_TRACE(bottomUp ? "bottom-up" : "top-down");
        Dib target(170, 16, bottomUp);
        Selected from(source);
        Selected to(target.bitmap);
        ASSERT_TRUE(to.dc.BitBlt(0, 0, 170, 16, &from.dc, 0, 0, SRCCOPY));
        bool same = true;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 170; ++x)
                same = same && target.At(x, y) == BitmapPixel(source, x, y);
        EXPECT_TRUE(same);
        // A section is a source the right way up too.
        Dib copy(170, 16, !bottomUp);
        Selected back(copy.bitmap);
        ASSERT_TRUE(back.dc.BitBlt(0, 0, 170, 16, &to.dc, 0, 0, SRCCOPY));
        EXPECT_EQ(copy.At(3, 0), BitmapPixel(source, 3, 0));
        EXPECT_EQ(copy.At(169, 15), BitmapPixel(source, 169, 15));
    }
}

TEST(CDC, BitBltWithOffsetsAndOtherOperationsOrNoSource)
{
    Dib source(2, 2);
    source.Fill(kBlack);
    source.Set(1, 1, RGB(10, 20, 30));
    Dib target(3, 3);
    target.Fill(kWhite);
    Selected from(source.bitmap);
    Selected to(target.bitmap);
    ASSERT_TRUE(to.dc.BitBlt(1, 1, 2, 2, &from.dc, 1, 1, SRCCOPY));
    EXPECT_EQ(target.At(1, 1), RGB(10, 20, 30));
    // Beyond the source nothing changes.
    EXPECT_EQ(target.At(2, 2), kWhite);
    EXPECT_EQ(target.At(0, 0), kWhite);

    EXPECT_FALSE(to.dc.BitBlt(0, 0, 1, 1, &from.dc, 0, 0, 0x00EE0086));  // SRCPAINT
    CDC empty;
    empty.CreateCompatibleDC(nullptr);
    EXPECT_FALSE(to.dc.BitBlt(0, 0, 1, 1, &empty, 0, 0, SRCCOPY));
}

TEST(CDC, StretchBltCopiesOneToOneAndScalesByMode)
{
    Dib source(2, 1);
    source.Set(0, 0, kBlack);
    source.Set(1, 0, kWhite);
    Selected from(source.bitmap);

    Dib same(2, 1);
    Selected sameDC(same.bitmap);
    sameDC.dc.SetStretchBltMode(HALFTONE);
    ASSERT_TRUE(sameDC.dc.StretchBlt(0, 0, 2, 1, &from.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(same.At(0, 0), kBlack);
    EXPECT_EQ(same.At(1, 0), kWhite);

    Dib nearest(8, 2);
    Selected nearestDC(nearest.bitmap);
    ASSERT_TRUE(nearestDC.dc.StretchBlt(0, 0, 8, 2, &from.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(nearest.At(3, 1), kBlack);
    EXPECT_EQ(nearest.At(4, 0), kWhite);

    Dib filtered(8, 2);
    Selected filteredDC(filtered.bitmap);
    filteredDC.dc.SetStretchBltMode(HALFTONE);
    ASSERT_TRUE(filteredDC.dc.StretchBlt(0, 0, 8, 2, &from.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(filtered.At(0, 0), kBlack);
    EXPECT_EQ(filtered.At(7, 1), kWhite);
    const BYTE middle = GetRValue(filtered.At(4, 0));
    EXPECT_GT(middle, 0);
    EXPECT_LT(middle, 255);

    EXPECT_FALSE(filteredDC.dc.StretchBlt(0, 0, 0, 2, &from.dc, 0, 0, 2, 1, SRCCOPY));
}

TEST(CDC, AClipRegionLimitsDrawing)
{
    Dib source(4, 4);
    source.Fill(kBlack);
    Dib target(4, 4);
    target.Fill(kWhite);
    Selected from(source.bitmap);
    Selected to(target.bitmap);
    CRgn clip;
    ASSERT_TRUE(clip.CreateRectRgn(0, 0, 3, 4));
    EXPECT_NE(to.dc.SelectClipRgn(&clip, RGN_AND), ERROR);
    to.dc.BitBlt(0, 0, 4, 4, &from.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(target.At(2, 3), kBlack);
    EXPECT_EQ(target.At(3, 0), kWhite);
    EXPECT_EQ(to.dc.SelectClipRgn(&clip, RGN_OR), ERROR);
}

// The columns in which text drawing changed a white section.
std::vector<bool> InkedColumns(const Dib& dib)
{
    std::vector<bool> inked(static_cast<size_t>(dib.width));
    for (int y = 0; y < dib.height; ++y)
        for (int x = 0; x < dib.width; ++x)
            if (dib.At(x, y) != kWhite)
                inked[static_cast<size_t>(x)] = true;
    return inked;
}

TEST(CDC, DrawTextStartsAtTheTopLeftCornerAndIsCutAtTheRectangle)
{
    CFont font;
    font.CreateDialogFont(FindDialogTemplate(IDD_UPDATE_DIALOG)->font);
    Dib dib(120, 20);
    dib.Fill(kWhite);
    Selected target(dib.bitmap);
    target.dc.SelectObject(&font);
    target.dc.SetTextColor(RGB(84, 159, 199));
    target.dc.SetBkMode(TRANSPARENT);
    RECT rect = {10, 2, 60, 18};
    const std::wstring text = L"正在检测登陆器版本...";
    EXPECT_GT(target.dc.DrawText(text.c_str(), static_cast<int>(text.size()), &rect, 0), 8);
    std::vector<bool> inked = InkedColumns(dib);
    EXPECT_TRUE(inked[11] || inked[12]);
    EXPECT_TRUE(inked[58] || inked[59]);
    for (int x = 0; x < 120; ++x) {
        if (x < 10 || x >= 60) {
            EXPECT_FALSE(inked[static_cast<size_t>(x)]) << x;
        }
    }
    // The ink is the text colour blended over the white beneath: nearer the colour at its
    // strongest, and always bluer than red.
    int reddest = 255;
    for (int y = 0; y < 20; ++y) {
        for (int x = 10; x < 60; ++x) {
            const COLORREF pixel = dib.At(x, y);
            reddest = std::min<int>(reddest, GetRValue(pixel));
            EXPECT_GE(GetBValue(pixel), GetRValue(pixel));
        }
    }
    EXPECT_LT(reddest, (84 + 255) / 2);
}

TEST(CDC, AnOpaqueBackgroundFillsBehindTheText)
{
    for (int mode : {OPAQUE, TRANSPARENT}) {
        Dib dib(40, 20);
        dib.Fill(kBlack);
        Selected target(dib.bitmap);
        target.dc.SetTextColor(RGB(255, 0, 0));
        target.dc.SetBkMode(mode);
        RECT rect = {0, 0, 40, 20};
        target.dc.DrawText(L"ab", -1, &rect, 0);
        EXPECT_EQ(dib.At(0, 0) == kWhite, mode == OPAQUE) << mode;
    }
}

}  // namespace
