// Dialog templates as data: each dialog's own style, rectangle and font, and its controls in
// creation (tab) order. Rectangles are in dialog units of the dialog's font. The program's
// resources provide the templates; the class library finds them by number.
#pragma once

#include <cstdint>
#include <span>

struct DialogUnitRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct DialogFont {
    int pointSize = 0;
    int weight = 0;  // 0: the font's normal weight
    bool italic = false;
    int charSet = 0;
    const wchar_t* typeface = L"";
};

struct DialogItemTemplate {
    int id = 0;
    const wchar_t* windowClass = L"";  // "Button", "Static" or "msctls_progress32"
    const wchar_t* text = L"";
    std::uint32_t style = 0;  // WS_*, SS_*, BS_* of WindowStyles.h
    std::uint32_t exStyle = 0;
    DialogUnitRect rect;
};

struct DialogTemplate {
    int id = 0;
    std::uint32_t style = 0;  // WS_*, DS_* of WindowStyles.h
    std::uint32_t exStyle = 0;
    DialogUnitRect rect;
    const wchar_t* title = L"";
    DialogFont font;
    std::span<const DialogItemTemplate> items;
};

// Provided by the program's resources. Null for a number that names no dialog template.
const DialogTemplate* FindDialogTemplate(int id);
