// MessageBoxW from any thread: a GTK dialog on the main thread, with the icon of the box type from
// the desktop's icon theme, the text wrapped within five eighths of the monitor's width (scrolled
// when taller than half of it) and one OK button, as the Windows box; the calling thread waits
// until the player has closed it while every window stays responsive.
#pragma once

#include <functional>
#include <string>

#include "platform/win/WinTypes.h"

constexpr UINT MB_OK = 0x00;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// Tests put a recorder in place of the GTK dialog; it is called on the thread that asked for the
// box. Returns the presenter it replaces; an empty one restores the GTK dialog.
using MessageBoxPresenter =
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);
