// A dialog's window: an undecorated top-level GtkWindow holding a GtkFixed (the registered
// widget, where the dialog paints and the controls sit), made hidden from a template with its
// controls, in dialog units of the template's font. Its default processing is the dialog
// manager's: Esc and WM_CLOSE are the cancel command, Enter the OK command, a press that the
// window's hit test calls HTCAPTION moves the window, WM_SETICON sets the window's icons and
// SC_MINIMIZE minimises it.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/CFont.h"
#include "platform/afx/NativeWindow.h"

struct DialogTemplate;
class ControlWindow;

class DialogWindow : public NativeWindow {
public:
    explicit DialogWindow(const DialogTemplate& dialogTemplate);
    ~DialogWindow() override;

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Move(int x, int y, int width, int height, bool repaint) override;
    POINT ClientOrigin() const override;
    void SetText(const CString& text) override;
    bool IsIconic() const override;
    HWND ChildHandle(int id) const override;

    // The position it was last moved to (not followed through the player's moves).
    POINT Position() const { return {m_nX, m_nY}; }
    // Messages from other threads and posted ones reach the dialog and its controls only while on.
    void SetDelivery(bool deliver);
    // Into the middle of the primary monitor's work area, and back inside it where it sticks out.
    void CenterOnWorkArea();
    void Show();
    void Hide();

private:
    static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer window);
    static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer window);
    static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer window);
    LRESULT SetIcon(WPARAM kind, HICON icon);

    GtkWindow* m_pWindow;  // owned: destroyed with the dialog
    CFont m_font;
    std::vector<std::unique_ptr<ControlWindow>> m_controls;
    HICON m_hBigIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
};
