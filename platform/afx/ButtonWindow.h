// A "Button" control: a press captures the pointer and pushes the button, WM_MOUSEMOVE while
// captured pushes it only while the pointer is over it, and a release over the pushed button
// sends BN_CLICKED to the dialog. As a Win32 push button, the focused button is pushed by Space
// going down (WM_KEYDOWN) and clicked by its coming up (WM_KEYUP); losing the focus meanwhile
// (WM_KILLFOCUS) releases it without a click. An owner-drawn button (BS_OWNERDRAW) paints through
// WM_DRAWITEM to its dialog, which reflects it to the control; ODS_SELECTED while pushed.
// A press also gives the button the keyboard focus, so that the dialog's keys (Esc, Enter) reach
// the dialog; the focus is not drawn. Until its first press a button takes no focus, so the
// window's first focus goes past it.
#pragma once

#include "platform/afx/ControlWindow.h"

class ButtonWindow : public ControlWindow {
public:
    ButtonWindow(DialogWindow& dialog, GtkFixed* container, const DialogItemTemplate& item, CFont* font);

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static gboolean OnKey(GtkWidget* widget, GdkEventKey* event, gpointer window);
    static gboolean OnFocusOut(GtkWidget* widget, GdkEventFocus* event, gpointer window);
    // Ends a press by the pointer or by Space; BN_CLICKED when click and the button is pushed.
    void EndPress(bool click);
    void SetPushed(bool pushed);
    bool Contains(LPARAM point) const;

    bool m_bCaptured = false;
    bool m_bPushed = false;
};
