#include <gtest/gtest.h>

#include <string>

#include "app/controls/CImageProgressCtrl.h"
#include "res/resource.h"
#include "tests/support/WindowTestSupport.h"

namespace {

constexpr int kLeft = 10;
constexpr int kTop = 10;
constexpr int kWidth = 301;
constexpr int kHeight = 19;

// One bar of the update template, 301 pixels wide, on a plain dialog.
class BarDialog : public CDialog {
public:
    BarDialog() : CDialog(IDD_UPDATE_DIALOG) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        MoveWindow(0, 0, 340, 50);
        bar.SetBitmaps(IDB_PROGRESS_TOTAL_TRACK, IDB_PROGRESS_TOTAL_FILL);
        bar.MoveWindow(kLeft, kTop, kWidth, kHeight);
        bar.m_nMin = 0;
        bar.m_nMax = 100;
        return TRUE;
    }

    CImageProgressCtrl bar;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_PROGRESS_TOTAL, bar); }
};

// Repaints the bar at that state and waits for the paint.
void Show(CImageProgressCtrl& bar, int position)
{
    DrawCounter paints(bar.m_hWnd);
    bar.m_nPos = position;
    bar.InvalidateRect(nullptr, FALSE);
    ASSERT_TRUE(RunLoopUntil([&] { return paints.Count() > 0; }));
}

// The bar shows the fill left of filled and the track from there on, and nothing beyond itself.
void ExpectFilled(const BarDialog& dialog, int filled)
{
    WindowPicture picture(dialog.m_hWnd);
    if (filled > 0) {
        EXPECT_TRUE(ShowsBitmap(picture, kLeft, kTop, dialog.bar.m_bmpFill, 0, 0, filled, kHeight));
    }
    if (filled < kWidth) {
        EXPECT_TRUE(ShowsBitmap(picture, kLeft + filled, kTop, dialog.bar.m_bmpTrack, filled, 0, kWidth - filled, kHeight));
    }
    const COLORREF beneath = picture.At(330, 40);
    for (int y = kTop; y < kTop + kHeight; ++y)
        EXPECT_EQ(picture.At(kLeft + kWidth, y), beneath);
    EXPECT_EQ(picture.At(kLeft, kTop + kHeight), beneath);
}

TEST(CImageProgressCtrl, FillsThePositionsShareOfItsWidth)
{
    struct Case {
        int position;
        int filled;
    };
    // 50 x 301 / 100 is 150.5, truncated.
    const Case cases[] = {{0, 0}, {1, 3}, {50, 150}, {100, 301}, {-20, 0}, {250, 301}};
    BarDialog dialog;
    RunModal(dialog, [&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.position);
            Show(dialog.bar, c.position);
            ExpectFilled(dialog, c.filled);
        }
    });
}

TEST(CImageProgressCtrl, AHugeRangeFillsItsShareWithoutOverflow)
{
    struct Case {
        int minimum;
        int maximum;
        int position;
        int filled;
    };
    // The product of position and width, and the range itself, pass 32 bits.
    const Case cases[] = {
        {0, 2'000'000'000, 1'000'000'000, 150},
        {0, 2'000'000'000, 2'000'000'000, 301},
        {-2'000'000'000, 2'000'000'000, 0, 150},
        {-2'000'000'000, 2'000'000'000, 1'000'000'000, 225},
    };
    BarDialog dialog;
    RunModal(dialog, [&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.minimum) + " to " + std::to_string(c.maximum) + " at " +
                         std::to_string(c.position));
            dialog.bar.m_nMin = c.minimum;
            dialog.bar.m_nMax = c.maximum;
            Show(dialog.bar, c.position);
            ExpectFilled(dialog, c.filled);
        }
    });
}

TEST(CImageProgressCtrl, ARangeThatIsNotAboveItsMinimumFillsNothing)
{
    BarDialog dialog;
    RunModal(dialog, [&] {
        for (int maximum : {0, -5}) {
            dialog.bar.m_nMax = maximum;
            Show(dialog.bar, 50);
            ExpectFilled(dialog, 0);
        }
    });
}

TEST(CImageProgressCtrl, RepaintingTheSamePositionDrawsTheSamePicture)
{
    BarDialog dialog;
    RunModal(dialog, [&] {
        Show(dialog.bar, 37);
        WindowPicture first(dialog.m_hWnd);
        Show(dialog.bar, 37);
        Show(dialog.bar, 37);
        WindowPicture again(dialog.m_hWnd);
        bool same = true;
        for (int y = 0; y < first.Height(); ++y)
            for (int x = 0; x < first.Width(); ++x)
                same = same && first.At(x, y) == again.At(x, y);
        EXPECT_TRUE(same);
    });
}

}  // namespace
