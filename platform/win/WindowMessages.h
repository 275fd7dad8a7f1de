// The window messages the launcher's windows send and handle, with their parameters, and the
// style bits the window layer reads besides those of the dialog templates (platform/win/WindowStyles.h).
#pragma once

#include "platform/win/GdiTypes.h"
#include "platform/win/WinTypes.h"

constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_ERASEBKGND = 0x0014;        // wParam: HDC; nonzero when erased
constexpr UINT WM_ICONERASEBKGND = 0x0027;    // wParam: HDC
constexpr UINT WM_DRAWITEM = 0x002B;          // wParam: control id; lParam: DRAWITEMSTRUCT*
constexpr UINT WM_GETFONT = 0x0031;           // result: CFont* of the window's font
constexpr UINT WM_QUERYDRAGICON = 0x0037;     // result: HCURSOR
constexpr UINT WM_SETICON = 0x0080;           // wParam: ICON_BIG or ICON_SMALL; lParam: HICON
constexpr UINT WM_NCHITTEST = 0x0084;         // lParam: screen point; result: HT* code
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_KEYDOWN = 0x0100;           // wParam: VK_* key
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_COMMAND = 0x0111;           // wParam: MAKEWPARAM(id, code); lParam: control
constexpr UINT WM_SYSCOMMAND = 0x0112;        // wParam: SC_* command
constexpr UINT WM_MOUSEMOVE = 0x0200;         // wParam: MK_* keys; lParam: client point
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_MOUSELEAVE = 0x02A3;

constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;

constexpr WPARAM SC_MINIMIZE = 0xF020;

constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;

constexpr WORD BN_CLICKED = 0;

constexpr WPARAM MK_LBUTTON = 0x0001;

constexpr WPARAM VK_SPACE = 0x20;

// WM_DRAWITEM
constexpr UINT ODS_SELECTED = 0x0001;

struct DRAWITEMSTRUCT {
    UINT CtlID = 0;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    RECT rcItem = {};
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD BS_TYPEMASK = 0x0000000F;
constexpr DWORD BS_OWNERDRAW = 0x0000000B;

constexpr WORD LOWORD(std::uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return static_cast<WPARAM>(low) | static_cast<WPARAM>(high) << 16; }
constexpr LPARAM MAKELPARAM(WORD low, WORD high)
{
    return static_cast<LPARAM>(static_cast<DWORD>(low) | static_cast<DWORD>(high) << 16);
}
// The signed coordinates of a point packed into lParam.
constexpr int GET_X_LPARAM(LPARAM value) { return static_cast<short>(LOWORD(static_cast<std::uintptr_t>(value))); }
constexpr int GET_Y_LPARAM(LPARAM value) { return static_cast<short>(HIWORD(static_cast<std::uintptr_t>(value))); }
