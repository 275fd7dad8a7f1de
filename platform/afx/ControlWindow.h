// A control of a dialog: a GtkEventBox without a window of its own in the dialog's GtkFixed, so
// that what the control does not paint shows the dialog beneath. Pointer events become
// WM_NCHITTEST, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE (also on entering) and, when requested with
// TrackMouseEvent, WM_MOUSELEAVE; a disabled control gets none of them. A "Static" control is
// transparent to presses (HTTRANSPARENT), which then reach the dialog; the other classes paint
// nothing of their own by default.
#pragma once

#include "platform/afx/NativeWindow.h"

struct DialogItemTemplate;
class DialogWindow;

class ControlWindow : public NativeWindow {
public:
    ControlWindow(DialogWindow& dialog, GtkFixed* container, const DialogItemTemplate& item, CFont* font);
    ~ControlWindow() override;

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Move(int x, int y, int width, int height, bool repaint) override;
    POINT ClientOrigin() const override;

protected:
    DialogWindow& Dialog() const { return m_dialog; }

private:
    static gboolean OnButton(GtkWidget* widget, GdkEventButton* event, gpointer window);
    static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer window);
    static gboolean OnEnter(GtkWidget* widget, GdkEventCrossing* event, gpointer window);
    static gboolean OnLeave(GtkWidget* widget, GdkEventCrossing* event, gpointer window);
    bool IsEnabled() const;

    DialogWindow& m_dialog;
    GtkFixed* m_pContainer;
    bool m_bStatic;
};
