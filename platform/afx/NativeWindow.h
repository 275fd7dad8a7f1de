// The toolkit side of a window the layer makes from a dialog template: its handle, its widget,
// its place, style, text and font, the translation of the widget's drawing into WM_ERASEBKGND
// and WM_PAINT, and the default processing of its window class. The CWnd attached to it gets its
// messages first. Main thread only.
#pragma once

#include <gtk/gtk.h>

#include "platform/afx/CString.h"
#include "platform/win/GdiTypes.h"
#include "platform/win/WindowHandles.h"

class CFont;
class CWnd;

class NativeWindow : public WindowProcedure {
public:
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;
    virtual ~NativeWindow();

    // Null for a handle that names no such window.
    static NativeWindow* FromHandle(HWND hWnd);

    HWND Handle() const { return m_hWnd; }
    int Id() const { return m_nId; }
    CWnd* Attached() const { return m_pAttached; }
    // Null detaches the object attached before, whose m_hWnd is cleared.
    void Attach(CWnd* window);

    // To the attached object, else to DefaultProc.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // WM_GETFONT (the dialog's font), WM_ERASEBKGND (nothing left to erase: the toolkit has drawn what
    // lies beneath), WM_NCHITTEST; everything else is ignored.
    virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    virtual void Move(int x, int y, int width, int height, bool repaint) = 0;
    RECT ClientRect() const { return {0, 0, m_nWidth, m_nHeight}; }
    // The client area's top-left corner on the screen.
    virtual POINT ClientOrigin() const = 0;
    // A control's text is not shown: the launcher's controls draw their own.
    virtual void SetText(const CString&) {}
    void Invalidate(LPCRECT rect);
    DWORD Style() const { return m_dwStyle; }
    void SetStyle(DWORD style) { m_dwStyle = style; }
    virtual bool IsIconic() const { return false; }
    virtual HWND ChildHandle(int) const { return nullptr; }

    // The drawing context of the paint in progress, else null.
    cairo_t* PaintContext() const { return m_pPaintContext; }

protected:
    // widget: where the window draws and takes input.
    NativeWindow(GtkWidget* widget, int id, DWORD style, CFont* font);
    // Disconnects the widget, gives up the handle and detaches the object; done once.
    void Release();
    // The widget's draw signal: WM_ERASEBKGND, then WM_PAINT, each with the widget's context.
    static gboolean OnDraw(GtkWidget* widget, cairo_t* context, gpointer window);

    GtkWidget* m_pWidget;
    HWND m_hWnd = nullptr;
    int m_nX = 0;
    int m_nY = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;

private:
    int m_nId;
    DWORD m_dwStyle;
    CFont* m_pFont;
    CWnd* m_pAttached = nullptr;
    cairo_t* m_pPaintContext = nullptr;
};
