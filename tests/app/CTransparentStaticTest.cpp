#include <gtest/gtest.h>

#include "app/controls/CTransparentStatic.h"
#include "res/resource.h"
#include "tests/support/WindowTestSupport.h"

namespace {

constexpr COLORREF kTextColour = RGB(84, 159, 199);

// The status label of the update template with its background, and a second label with
// neither text nor background.
class LabelDialog : public CDialog {
public:
    LabelDialog() : CDialog(IDD_UPDATE_DIALOG) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        MoveWindow(0, 0, 300, 60);
        label.m_bmpBkgnd.LoadBitmap(IDB_TEXT_STATUS_BACKGROUND);
        label.m_clrText = kTextColour;
        label.MoveWindow(10, 10, 170, 16);
        bare.MoveWindow(10, 35, 50, 16);
        return TRUE;
    }

    CTransparentStatic label;
    CTransparentStatic bare;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_TEXT_STATUS, label);
        DDX_Control(pDX, IDC_TEXT_TOTAL, bare);
    }
};

void ShowText(CTransparentStatic& label, const wchar_t* text)
{
    DrawCounter paints(label.m_hWnd);
    label.m_strText = text;
    label.InvalidateRect(nullptr, FALSE);
    ASSERT_TRUE(RunLoopUntil([&] { return paints.Count() > 0; }));
}

// The columns of the label's area where the picture differs from the label's bitmap.
std::vector<int> InkedColumns(const WindowPicture& picture, const CTransparentStatic& label)
{
    std::vector<int> columns;
    for (int x = 0; x < 170; ++x) {
        for (int y = 0; y < 16; ++y) {
            if (picture.At(10 + x, 10 + y) != BitmapPixel(label.m_bmpBkgnd, x, y)) {
                columns.push_back(x);
                break;
            }
        }
    }
    return columns;
}

TEST(CTransparentStatic, DrawsItsBackgroundThenItsTextFromTheTopLeftCorner)
{
    LabelDialog dialog;
    RunModal(dialog, [&] {
        ShowText(dialog.label, L"");
        {
            WindowPicture picture(dialog.m_hWnd);
            EXPECT_TRUE(ShowsBitmap(picture, 10, 10, dialog.label.m_bmpBkgnd, 0, 0, 170, 16));
        }
        ShowText(dialog.label, L"正在检测登陆器版本...");
        WindowPicture picture(dialog.m_hWnd);
        const std::vector<int> inked = InkedColumns(picture, dialog.label);
        ASSERT_FALSE(inked.empty());
        EXPECT_LT(inked.front(), 3);
        EXPECT_LT(inked.back(), 160);
        // The ink is the text colour, at its strongest, blended at its edges over the label's own
        // (darker) background.
        COLORREF strongest = 0;
        for (int y = 10; y < 26; ++y)
            for (int x = 10; x < 180; ++x)
                if (GetBValue(picture.At(x, y)) > GetBValue(strongest))
                    strongest = picture.At(x, y);
        EXPECT_NEAR(GetRValue(strongest), GetRValue(kTextColour), 30);
        EXPECT_NEAR(GetGValue(strongest), GetGValue(kTextColour), 30);
        EXPECT_NEAR(GetBValue(strongest), GetBValue(kTextColour), 30);
    });
}

TEST(CTransparentStatic, TextWiderThanTheLabelIsCutAtItsRightEdge)
{
    LabelDialog dialog;
    RunModal(dialog, [&] {
        const COLORREF beneath = WindowPicture(dialog.m_hWnd).At(200, 15);
        ShowText(dialog.label, L"正在检测登陆器版本...正在检测登陆器版本...正在检测登陆器版本...");
        WindowPicture picture(dialog.m_hWnd);
        EXPECT_EQ(InkedColumns(picture, dialog.label).back(), 169);
        for (int y = 10; y < 26; ++y)
            EXPECT_EQ(picture.At(180, y), beneath);
    });
}

TEST(CTransparentStatic, WithNeitherTextNorBitmapItDrawsNothingNotEvenTheTemplatesText)
{
    LabelDialog dialog;
    RunModal(dialog, [&] {
        ShowText(dialog.bare, L"");
        WindowPicture picture(dialog.m_hWnd);
        const COLORREF beneath = picture.At(100, 43);
        bool untouched = true;
        for (int y = 35; y < 51; ++y)
            for (int x = 10; x < 60; ++x)
                untouched = untouched && picture.At(x, y) == beneath;
        EXPECT_TRUE(untouched);
    });
}

}  // namespace
