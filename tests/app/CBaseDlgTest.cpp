#include <gtest/gtest.h>

#include <gdk/gdkx.h>
#include <X11/extensions/shape.h>

#include <string>
#include <vector>

#include "app/CBaseDlg.h"
#include "platform/afx/CStatic.h"
#include "platform/win/CairoPtr.h"
#include "platform/win/GdiObjectPtr.h"
#include "res/resource.h"
#include "tests/app/SkinnedDialog.h"
#include "tests/support/WindowTestSupport.h"

namespace {

constexpr COLORREF kKey = RGB(228, 207, 224);
constexpr COLORREF kSkin = RGB(20, 30, 40);

using Region = GdiObjectPtr<HRGN__>;
using Bitmap = GdiObjectPtr<HBITMAP__>;

// Rows of '#' (an opaque pixel) and '.' (the key colour).
Bitmap Picture(const std::vector<std::string>& rows, bool bottomUp = true)
{
    return Bitmap(NewSection(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
                             [&](int x, int y) { return rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == '.' ? kKey : kSkin; },
                             bottomUp));
}

CairoPtr<cairo_region_t> Rectangles(const std::vector<cairo_rectangle_int_t>& rects)
{
    return CairoPtr<cairo_region_t>(cairo_region_create_rectangles(rects.data(), static_cast<int>(rects.size())));
}

void ExpectRegion(const Region& region, const std::vector<cairo_rectangle_int_t>& rects)
{
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(cairo_region_equal(RegionOf(region.get()), Rectangles(rects).get()));
}

TEST(CreateRegionFromBitmap, CutsAwayExactlyTheKeyPixelsOfTheRightRows)
{
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        std::vector<cairo_rectangle_int_t> region;
    };
    const Case cases[] = {
        {"no key pixel", {"####", "####", "####"}, {{0, 0, 4, 3}}},
        {"the top row keyed", {"....", "####", "####"}, {{0, 1, 4, 2}}},
        {"pixels 0, 3 and 4 of a row of six", {".##..#"}, {{1, 0, 2, 1}, {5, 0, 1, 1}}},
        {"a keyed column", {"#.#", "#.#"}, {{0, 0, 1, 2}, {2, 0, 1, 2}}},
        {"only key pixels", {"...", "..."}, {}},
    };
    for (const Case& c : cases) {
        for (bool bottomUp : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (bottomUp ? ", bottom-up" : ", top-down"));
            Bitmap bitmap = Picture(c.rows, bottomUp);
            ExpectRegion(Region(CBaseDlg::CreateRegionFromBitmap(bitmap.get())), c.region);
        }
    }
}

TEST(CreateRegionFromBitmap, ColoursOneOffTheKeyBelongToTheWindow)
{
    const COLORREF nearKey[] = {RGB(228, 207, 223), RGB(228, 207, 225), RGB(228, 206, 224),
                                RGB(228, 208, 224), RGB(227, 207, 224), RGB(229, 207, 224)};
    Bitmap bitmap(NewSection(7, 1, [&](int x, int) { return x < 6 ? nearKey[x] : kKey; }));
    ExpectRegion(Region(CBaseDlg::CreateRegionFromBitmap(bitmap.get())), {{0, 0, 6, 1}});
}

TEST(CreateRegionFromBitmap, ManyRunsAreBuiltInBatchesAndAllArrive)
{
    // Around the growth of the rectangle list and the batch of 2000.
    for (int runs : {100, 101, 201, 1999, 2000, 2001, 4001}) {
        SCOPED_TRACE(runs);
        // Opaque pixels at even x, so each is a run of its own; 64 runs a row.
        const int width = 127;
        const int height = (runs + 63) / 64;
        Bitmap bitmap(NewSection(width, height, [&](int x, int y) {
            return x % 2 == 0 && y * 64 + x / 2 < runs ? kSkin : kKey;
        }));
        Region region(CBaseDlg::CreateRegionFromBitmap(bitmap.get()));
        ASSERT_NE(region, nullptr);
        std::vector<cairo_rectangle_int_t> expected;
        for (int run = 0; run < runs; ++run)
            expected.push_back({run % 64 * 2, run / 64, 1, 1});
        ExpectRegion(region, expected);
    }
}

TEST(CreateRegionFromBitmap, ANullBitmapGivesNoRegionAndTheSourceStaysAsItWas)
{
    EXPECT_EQ(CBaseDlg::CreateRegionFromBitmap(nullptr), nullptr);
    CBitmap skin;
    ASSERT_TRUE(skin.LoadBitmap(IDB_UPDATE_BACKGROUND));
    const COLORREF before = BitmapPixel(skin, 230, 60);
    Region region(CBaseDlg::CreateRegionFromBitmap(skin));
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(BitmapPixel(skin, 230, 60), before);
    EXPECT_TRUE(cairo_region_contains_point(RegionOf(region.get()), 230, 60));
    EXPECT_FALSE(cairo_region_contains_point(RegionOf(region.get()), 0, 0));
}

TEST(CBaseDlg, PaintsTheSkinOneToOneAndStretchedToTheClientArea)
{
    SkinnedDialog dialog;
    RunModal(dialog, [&] {
        {
            WindowPicture picture(dialog.m_hWnd);
            ASSERT_EQ(picture.Width(), 461);
            ASSERT_EQ(picture.Height(), 210);
            EXPECT_TRUE(ShowsBitmap(picture, 0, 0, dialog.Skin(), 0, 0, 461, 210));
        }
        dialog.MoveWindow(0, 0, 922, 420);
        ASSERT_TRUE(RunLoopUntil([&] {
            return gtk_widget_get_allocated_width(GTK_WIDGET(TopLevelOf(dialog.m_hWnd))) == 922;
        }));
        WindowPicture picture(dialog.m_hWnd);
        // Where the skin is even around a pixel, the stretched picture shows its colour at twice
        // the place.
        int compared = 0;
        for (int y = 1; y < 209; y += 3) {
            for (int x = 1; x < 460; x += 3) {
                const COLORREF colour = BitmapPixel(dialog.Skin(), x, y);
                bool even = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        even = even && BitmapPixel(dialog.Skin(), x + dx, y + dy) == colour;
                if (!even)
                    continue;
                ++compared;
                const COLORREF shown = picture.At(2 * x + 1, 2 * y + 1);
                EXPECT_NEAR(GetRValue(shown), GetRValue(colour), 2) << x << "," << y;
                EXPECT_NEAR(GetGValue(shown), GetGValue(colour), 2) << x << "," << y;
                EXPECT_NEAR(GetBValue(shown), GetBValue(colour), 2) << x << "," << y;
            }
        }
        EXPECT_GT(compared, 1000);
    });
}

TEST(CBaseDlg, TheWindowsShapeForDrawingAndInputIsTheSkinWithoutItsKeyColour)
{
    SkinnedDialog dialog;
    RunModal(dialog, [&] {
        Region expected(CBaseDlg::CreateRegionFromBitmap(dialog.Skin()));
        for (int kind : {ShapeBounding, ShapeInput}) {
            SCOPED_TRACE(kind);
            EXPECT_TRUE(cairo_region_equal(XShape(dialog.m_hWnd, kind).get(), RegionOf(expected.get())));
        }
    });
}

TEST(CBaseDlg, APressOnItsOwnSurfaceOrALabelDragsTheWindow)
{
    // (230, 60) is the skin's sky; (150, 168) lies on a label.
    for (POINT start : {POINT{230, 60}, POINT{150, 168}}) {
        SkinnedDialog dialog;
        RunModal(dialog, [&] {
            const POINT before = ScreenOrigin(dialog.m_hWnd);
            EXPECT_EQ(dialog.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(before.x + start.x),
                                                                      static_cast<WORD>(before.y + start.y))),
                      HTCAPTION);
            EXPECT_EQ(dialog.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(before.x + 470),
                                                                      static_cast<WORD>(before.y + 5))),
                      HTNOWHERE);
            PointerMoveTo(before.x + start.x, before.y + start.y);
            PointerPress();
            PointerMoveTo(before.x + start.x + 20, before.y + start.y + 15);
            PointerMoveTo(before.x + start.x + 40, before.y + start.y + 30);
            PointerRelease();
            EXPECT_TRUE(RunLoopUntil([&] {
                const POINT now = ScreenOrigin(dialog.m_hWnd);
                return now.x == before.x + 40 && now.y == before.y + 30;
            }, std::chrono::seconds(3)));
        });
    }
}

}  // namespace
