#include "platform/afx/DialogTemplates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ExpectedItem {
    int id;
    std::wstring windowClass;
    std::wstring text;
    std::uint32_t style;
    DialogUnitRect rect;
};

struct ExpectedDialog {
    int id;
    std::uint32_t style;
    std::uint32_t exStyle;
    DialogUnitRect rect;
    DialogFont font;
    std::vector<ExpectedItem> items;
};

// The values as the Windows resource compiler would store them, written as plain numbers so
// that a wrong style constant shows.
const ExpectedDialog kDialogs[] = {
    {145, 0x800000C8, 0, {0, 0, 309, 177}, {8, 400, false, 1, L"MS Shell Dlg"},
     {
         {1000, L"msctls_progress32", L"", 0x50800000, {46, 38, 80, 14}},
         {1001, L"Static", L"Static", 0x50020000, {165, 43, 19, 8}},
         {1002, L"msctls_progress32", L"", 0x50800000, {46, 77, 80, 14}},
         {1003, L"Static", L"Static", 0x50020000, {161, 79, 19, 8}},
         {1004, L"Static", L"Static", 0x50020000, {100, 123, 19, 8}},
     }},
    {102, 0x90000048, 0x00040020, {0, 0, 501, 231}, {9, 0, false, 1, L"MS Shell Dlg"},
     {
         {1005, L"Button", L"", 0x50010000, {168, 23, 50, 14}},
         {1006, L"Button", L"", 0x50010000, {246, 23, 50, 14}},
     }},
};

void ExpectRect(const DialogUnitRect& actual, const DialogUnitRect& expected)
{
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.cx, expected.cx);
    EXPECT_EQ(actual.cy, expected.cy);
}

TEST(DialogTemplates, EachDialogHasItsStyleLayoutFontAndControlsInOrder)
{
    for (const ExpectedDialog& expected : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(expected.id));
        const DialogTemplate* dialog = FindDialogTemplate(expected.id);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->id, expected.id);
        EXPECT_EQ(dialog->style, expected.style);
        EXPECT_EQ(dialog->exStyle, expected.exStyle);
        ExpectRect(dialog->rect, expected.rect);
        EXPECT_EQ(std::wstring(dialog->title), L"");
        EXPECT_EQ(dialog->font.pointSize, expected.font.pointSize);
        EXPECT_EQ(dialog->font.weight, expected.font.weight);
        EXPECT_EQ(dialog->font.italic, expected.font.italic);
        EXPECT_EQ(dialog->font.charSet, expected.font.charSet);
        EXPECT_EQ(std::wstring(dialog->font.typeface), expected.font.typeface);

        ASSERT_EQ(dialog->items.size(), expected.items.size());
        for (std::size_t i = 0; i < expected.items.size(); ++i) {
            const DialogItemTemplate& item = dialog->items[i];
            const ExpectedItem& want = expected.items[i];
            SCOPED_TRACE("control " + std::to_string(want.id));
            EXPECT_EQ(item.id, want.id);
            EXPECT_EQ(std::wstring(item.windowClass), want.windowClass);
            EXPECT_EQ(std::wstring(item.text), want.text);
            EXPECT_EQ(item.style, want.style);
            EXPECT_EQ(item.exStyle, 0u);
            ExpectRect(item.rect, want.rect);
        }
    }
}

TEST(DialogTemplates, NumbersOfNoDialogFindNone)
{
    for (int id : {0, 101, 103, 128, 140, 144, 146, 1000, -102, 65536 + 145}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(FindDialogTemplate(id), nullptr);
    }
}

}  // namespace
