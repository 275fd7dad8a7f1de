#include <gtest/gtest.h>

#include "app/controls/CImageButton.h"
#include "res/resource.h"
#include "tests/support/WindowTestSupport.h"

namespace {

constexpr int kLeft = 20;
constexpr int kTop = 20;

// The close button of the main window's template at (20, 20), with the images that the test
// gives it.
class ButtonDialog : public CDialog {
public:
    ButtonDialog(UINT normal, UINT pressed, UINT hover, UINT disabled, int size = 28)
        : CDialog(IDD_LAUNCHER_DIALOG), m_images{normal, pressed, hover, disabled}, m_size(size)
    {
    }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        MoveWindow(0, 0, 200, 100);
        button.LoadBitmaps(m_images[0], m_images[1], m_images[2], m_images[3]);
        button.MoveWindow(kLeft, kTop, m_size, m_size);
        return TRUE;
    }

    CImageButton button;
    int clicks = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_BTN_CLOSE, button); }
    void OnClicked() { ++clicks; }

    DECLARE_MESSAGE_MAP()

private:
    UINT m_images[4];
    int m_size;
};

BEGIN_MESSAGE_MAP(ButtonDialog, CDialog)
    ON_BN_CLICKED(IDC_BTN_CLOSE, OnClicked)
END_MESSAGE_MAP()

// Whether the button shows the bitmap resource now.
bool Shows(const ButtonDialog& dialog, UINT image)
{
    CBitmap bitmap;
    bitmap.LoadBitmap(image);
    BITMAP size;
    bitmap.GetObject(sizeof(BITMAP), &size);
    return ShowsBitmap(WindowPicture(dialog.m_hWnd), kLeft, kTop, bitmap, 0, 0, size.bmWidth, size.bmHeight);
}

POINT OnScreen(const ButtonDialog& dialog, int x, int y)
{
    const POINT origin = ScreenOrigin(dialog.m_hWnd);
    return {origin.x + x, origin.y + y};
}

void MoveTo(const ButtonDialog& dialog, int x, int y)
{
    const POINT point = OnScreen(dialog, x, y);
    PointerMoveTo(point.x, point.y);
}

TEST(CImageButton, AttachingMakesTheTemplatesPushButtonOwnerDrawn)
{
    ButtonDialog dialog(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, 0);
    RunModal(dialog, [&] {
        EXPECT_EQ(dialog.button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_TRUE(Shows(dialog, IDB_CLOSE_NORMAL));
    });
}

TEST(CImageButton, ThePointerOverItShowsTheHoverImageRepaintingOnlyOnEnteringAndLeaving)
{
    ButtonDialog dialog(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, 0);
    RunModal(dialog, [&] {
        MoveTo(dialog, 150, 80);
        DrawCounter paints(dialog.button.m_hWnd);
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            // Reading the picture back draws the button too, so each count starts after it.
            const int away = paints.Count();
            MoveTo(dialog, kLeft + 10, kTop + 10);
            ASSERT_TRUE(RunLoopUntil([&] { return paints.Count() > away; }));
            MoveTo(dialog, kLeft + 14, kTop + 12);
            MoveTo(dialog, kLeft + 20, kTop + 5);
            RunLoopFor(std::chrono::milliseconds(100));
            EXPECT_EQ(paints.Count(), away + 1);
            EXPECT_TRUE(Shows(dialog, IDB_CLOSE_HOVER));

            const int over = paints.Count();
            MoveTo(dialog, 150, 80);
            ASSERT_TRUE(RunLoopUntil([&] { return paints.Count() > over; }));
            RunLoopFor(std::chrono::milliseconds(100));
            EXPECT_EQ(paints.Count(), over + 1);
            EXPECT_TRUE(Shows(dialog, IDB_CLOSE_NORMAL));
        }
    });
}

TEST(CImageButton, WithNoHoverImageThePointerOverItShowsTheNormalOne)
{
    ButtonDialog dialog(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, 0, 0);
    RunModal(dialog, [&] {
        MoveTo(dialog, 150, 80);
        DrawCounter paints(dialog.button.m_hWnd);
        MoveTo(dialog, kLeft + 10, kTop + 10);
        ASSERT_TRUE(RunLoopUntil([&] { return paints.Count() > 0; }));
        EXPECT_TRUE(Shows(dialog, IDB_CLOSE_NORMAL));
    });
}

TEST(CImageButton, APressShowsThePressedImageOrElseTheHoverOneAndAReleaseOverItClicks)
{
    struct Case {
        const char* name;
        UINT pressed;
        UINT shown;
    };
    for (const Case& c : {Case{"pressed image", IDB_CLOSE_PRESSED, IDB_CLOSE_PRESSED},
                          Case{"no pressed image", 0, IDB_CLOSE_HOVER}}) {
        SCOPED_TRACE(c.name);
        ButtonDialog dialog(IDB_CLOSE_NORMAL, c.pressed, IDB_CLOSE_HOVER, 0);
        RunModal(dialog, [&] {
            MoveTo(dialog, kLeft + 10, kTop + 10);
            PointerPress();
            RunLoopFor(std::chrono::milliseconds(50));
            EXPECT_TRUE(Shows(dialog, c.shown));
            EXPECT_EQ(dialog.clicks, 0);
            PointerRelease();
            EXPECT_TRUE(RunLoopUntil([&] { return dialog.clicks == 1; }));
            EXPECT_TRUE(Shows(dialog, IDB_CLOSE_HOVER));
        });
    }
}

TEST(CImageButton, AReleaseAwayFromItDoesNotClick)
{
    ButtonDialog dialog(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, 0);
    RunModal(dialog, [&] {
        MoveTo(dialog, kLeft + 10, kTop + 10);
        PointerPress();
        MoveTo(dialog, 150, 80);
        PointerRelease();
        RunLoopFor(std::chrono::milliseconds(100));
        EXPECT_EQ(dialog.clicks, 0);
    });
}

// As a Windows push button: once it has the focus (a press gives it, even one released away),
// Space going down pushes it and its coming up clicks it; other keys do neither.
TEST(CImageButton, WithTheFocusSpaceDownShowsThePressedImageAndSpaceUpClicks)
{
    ButtonDialog dialog(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, 0);
    RunModal(dialog, [&] {
        MoveTo(dialog, kLeft + 10, kTop + 10);
        PointerPress();
        MoveTo(dialog, 150, 80);
        PointerRelease();
        ASSERT_EQ(dialog.clicks, 0);

        PressKey(dialog.m_hWnd, "a");
        PressKey(dialog.m_hWnd, "space", "keydown");
        EXPECT_TRUE(RunLoopUntil([&] { return Shows(dialog, IDB_CLOSE_PRESSED); }));
        RunLoopFor(std::chrono::milliseconds(100));
        EXPECT_EQ(dialog.clicks, 0);
        PressKey(dialog.m_hWnd, "space", "keyup");
        EXPECT_TRUE(RunLoopUntil([&] { return dialog.clicks == 1; }));
        EXPECT_TRUE(Shows(dialog, IDB_CLOSE_NORMAL));
        PressKey(dialog.m_hWnd, "space");
        EXPECT_TRUE(RunLoopUntil([&] { return dialog.clicks == 2; }));
    });
}

TEST(CImageButton, DisabledItShowsItsDisabledImageUnscaledOrNothing)
{
    for (UINT disabled : {0u, static_cast<UINT>(IDB_MINIMIZE_HOVER)}) {
        SCOPED_TRACE(disabled);
        ButtonDialog dialog(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, disabled, 40);
        RunModal(dialog, [&] {
            const COLORREF beneath = WindowPicture(dialog.m_hWnd).At(150, 80);
            DrawCounter paints(dialog.button.m_hWnd);
            dialog.button.ModifyStyle(0, WS_DISABLED);
            dialog.button.InvalidateRect(nullptr, TRUE);
            ASSERT_TRUE(RunLoopUntil([&] { return paints.Count() > 0; }));
            if (disabled) {
                EXPECT_TRUE(Shows(dialog, disabled));
            }
            WindowPicture picture(dialog.m_hWnd);
            // Right of and below the image (21 x 25) the area shows what lies beneath.
            const int imageWidth = disabled ? 21 : 0;
            const int imageHeight = disabled ? 25 : 0;
            bool untouched = true;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    if (x >= imageWidth || y >= imageHeight)
                        untouched = untouched && picture.At(kLeft + x, kTop + y) == beneath;
            EXPECT_TRUE(untouched);
            // A disabled button takes no click.
            MoveTo(dialog, kLeft + 10, kTop + 10);
            PointerPress();
            PointerRelease();
            EXPECT_EQ(dialog.clicks, 0);
        });
    }
}

}  // namespace
