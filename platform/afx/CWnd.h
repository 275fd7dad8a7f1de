// CWnd: the class library's window object. It is attached to a window made by the layer (a
// dialog from its template, or one of the dialog's controls) and gets that window's messages
// first, through its message map; what the map does not handle goes to the window's default
// processing.
#pragma once

#include "platform/afx/CPoint.h"
#include "platform/afx/CRect.h"
#include "platform/afx/MessageMap.h"
#include "platform/win/WinTypes.h"

class CFont;

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Detaches from a window that still exists.
    virtual ~CWnd();

    // The object attached to the window, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Attaches the object to an existing window, which then sends its messages here. FALSE when
    // the object or the window is attached already.
    BOOL SubclassWindow(HWND hWnd);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // A top-level window's position is on the screen, a control's in its dialog's client area.
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    // A top-level window's title; a control's text is not shown (the launcher's controls draw
    // their own).
    void SetWindowText(LPCWSTR lpszString);
    // The erase flag is taken but changes nothing: every paint here starts over the picture of
    // the window beneath.
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    // Windows of this layer have no frame: the client area is the whole window.
    void GetClientRect(LPRECT lpRect) const;
    void ClientToScreen(LPRECT lpRect) const;

    DWORD GetStyle() const;
    // No frame is recalculated whatever the flags; TRUE when the style changed.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const;

    CFont* GetFont();
    void GetDlgItem(int nID, HWND* phWnd) const;

    // The window's procedure: the message map, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual const AFX_MSGMAP* GetMessageMap() const;

    HWND m_hWnd = nullptr;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();

    // Called by SubclassWindow once the object is attached, before the first message comes.
    virtual void PreSubclassWindow() {}
    // A notification its parent reflects to the control (WM_DRAWITEM); TRUE when handled.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The default processing of the window's class.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(CPoint point);

private:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};
