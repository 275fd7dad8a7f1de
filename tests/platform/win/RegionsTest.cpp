#include <gtest/gtest.h>

#include <cairo.h>

#include <vector>

#include "platform/afx/CDialog.h"
#include "platform/win/CairoPtr.h"
#include "platform/win/Regions.h"
#include "res/resource.h"
#include "tests/support/FirstMapWatcher.h"
#include "tests/support/WindowTestSupport.h"

// Last: Xlib's macros (Status, None, ...) would clash with the names above.
#include <gdk/gdkx.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace {

// Region data with room for capacity rectangles, of which rects are listed.
std::vector<BYTE> RegionData(const std::vector<RECT>& rects, DWORD capacity, DWORD type = RDH_RECTANGLES)
{
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + sizeof(RECT) * capacity);
    RGNDATAHEADER header;
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = type;
    header.nCount = static_cast<DWORD>(rects.size());
    *reinterpret_cast<RGNDATAHEADER*>(data.data()) = header;
    auto* listed = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (size_t i = 0; i < rects.size(); ++i)
        listed[i] = rects[i];
    return data;
}

HRGN Make(const std::vector<BYTE>& data, DWORD size)
{
    return ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(data.data()));
}

bool Contains(HRGN region, int x, int y)
{
    return cairo_region_contains_point(RegionOf(region), x, y);
}

TEST(Regions, ExtCreateRegionTakesTheListedRectanglesOfAWellFormedList)
{
    const std::vector<RECT> rects = {{1, 0, 3, 1}, {5, 0, 6, 1}, {0, 1, 2, 2}};
    const std::vector<BYTE> data = RegionData(rects, 100);
    HRGN region = Make(data, static_cast<DWORD>(data.size()));
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(Contains(region, 1, 0));
    EXPECT_TRUE(Contains(region, 2, 0));
    EXPECT_FALSE(Contains(region, 3, 0));
    EXPECT_TRUE(Contains(region, 5, 0));
    EXPECT_TRUE(Contains(region, 0, 1));
    EXPECT_FALSE(Contains(region, 2, 1));
    DeleteObject(region);

    HRGN empty = Make(RegionData({}, 100), 32 + 1600);
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(cairo_region_is_empty(RegionOf(empty)));
    DeleteObject(empty);
}

TEST(Regions, ExtCreateRegionRefusesAMalformedList)
{
    const std::vector<RECT> rects = {{0, 0, 1, 1}, {1, 1, 2, 2}};
    EXPECT_EQ(Make(RegionData(rects, 2), 32 + 16), nullptr);  // the size does not hold both
    EXPECT_EQ(Make(RegionData(rects, 2, 2), 32 + 32), nullptr);
    EXPECT_EQ(Make(RegionData(rects, 2), 16), nullptr);
    const std::vector<BYTE> data = RegionData(rects, 2);
    XFORM* const someTransformation = reinterpret_cast<XFORM*>(const_cast<BYTE*>(data.data()));
    EXPECT_EQ(ExtCreateRegion(someTransformation, 64, reinterpret_cast<const RGNDATA*>(data.data())), nullptr);
}

TEST(Regions, CombineRgnMakesTheUnionInPlace)
{
    HRGN result = CreateRectRgn(0, 0, 2, 2);
    HRGN other = CreateRectRgn(4, 0, 5, 1);
    EXPECT_EQ(CombineRgn(result, result, other, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(Contains(result, 1, 1));
    EXPECT_TRUE(Contains(result, 4, 0));
    EXPECT_FALSE(Contains(result, 3, 0));
    EXPECT_EQ(CombineRgn(result, result, other, RGN_AND), ERROR);
    DeleteObject(other);
    DeleteObject(result);
}

// Two rectangles, one below the other.
HRGN TwoBlocks()
{
    HRGN region = CreateRectRgn(0, 0, 100, 50);
    HRGN below = CreateRectRgn(20, 50, 60, 90);
    CombineRgn(region, region, below, RGN_OR);
    DeleteObject(below);
    return region;
}

// Cuts its window down to TwoBlocks() before it is shown.
class ShapedDialog : public CDialog {
public:
    ShapedDialog() : CDialog(IDD_UPDATE_DIALOG) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetWindowRgn(m_hWnd, TwoBlocks(), TRUE);
        return TRUE;
    }
};

TEST(SetWindowRgn, AShapeSetBeforeTheWindowIsShownIsItsShapeFromItsFirstMap)
{
    HRGN expected = TwoBlocks();
    // A late shape shows on some runs only.
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE(run);
        ShapedDialog dialog;
        EXPECT_TRUE(ShapedFromItsFirstMap(dialog, RegionOf(expected)));
    }
    DeleteObject(expected);
}

TEST(SetWindowRgn, AShownWindowTakesTheNewShapeAtOnceAndItsRectangleForNone)
{
    ShapedDialog dialog;
    RunModal(dialog, [&] {
        RECT client;
        dialog.GetClientRect(&client);
        struct Case {
            HRGN region;
            cairo_rectangle_int_t shape;
        };
        const Case cases[] = {
            {CreateRectRgn(10, 20, 30, 60), {10, 20, 20, 40}},
            {nullptr, {0, 0, client.right, client.bottom}},
        };
        for (const Case& c : cases) {
            EXPECT_EQ(SetWindowRgn(dialog.m_hWnd, c.region, FALSE), 1);
            // No turn of the main loop in between.
            for (int kind : {ShapeBounding, ShapeInput}) {
                SCOPED_TRACE(kind);
                CairoPtr<cairo_region_t> expected(cairo_region_create_rectangle(&c.shape));
                EXPECT_TRUE(cairo_region_equal(XShape(dialog.m_hWnd, kind).get(), expected.get()));
            }
        }
    });
}

}  // namespace
