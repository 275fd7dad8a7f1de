#include "platform/afx/CWnd.h"

#include "platform/afx/NativeWindow.h"
#include "platform/win/MessageSend.h"
#include "platform/win/WindowHandles.h"

namespace {

bool Matches(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam)
{
    if (entry.nMessage != message)
        return false;
    return message != WM_COMMAND || (entry.nCode == HIWORD(wParam) && entry.nID == LOWORD(wParam));
}

}  // namespace

CWnd::~CWnd()
{
    if (NativeWindow* native = NativeWindow::FromHandle(m_hWnd); native && native->Attached() == this)
        native->Attach(nullptr);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    NativeWindow* native = NativeWindow::FromHandle(hWnd);
    return native ? native->Attached() : nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    NativeWindow* native = NativeWindow::FromHandle(hWnd);
    if (m_hWnd || !native || native->Attached())
        return FALSE;
    m_hWnd = hWnd;
    PreSubclassWindow();
    native->Attach(this);
    return TRUE;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (Matches(*entry, message, wParam)) {
                *pResult = entry->pfn(this, wParam, lParam);
                return true;
            }
        }
    }
    // An owner-drawn control draws itself: the parent passes the request back to it.
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        CWnd* control = item ? FromHandlePermanent(item->hwndItem) : nullptr;
        return control && control->OnChildNotify(message, wParam, lParam, pResult);
    }
    return false;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    NativeWindow* native = NativeWindow::FromHandle(m_hWnd);
    return native ? native->DefaultProc(message, wParam, lParam) : 0;
}

LRESULT CWnd::OnNcHitTest(CPoint point)
{
    return DefWindowProc(WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (NativeWindow* native = NativeWindow::FromHandle(m_hWnd))
        native->Move(x, y, nWidth, nHeight, bRepaint != FALSE);
}

void CWnd::SetWindowText(LPCWSTR lpszString)
{
    if (NativeWindow* native = NativeWindow::FromHandle(m_hWnd))
        native->SetText(lpszString ? lpszString : L"");
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL)
{
    if (NativeWindow* native = NativeWindow::FromHandle(m_hWnd))
        native->Invalidate(lpRect);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    NativeWindow* native = NativeWindow::FromHandle(m_hWnd);
    if (lpRect)
        *lpRect = native ? native->ClientRect() : RECT{};
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    NativeWindow* native = NativeWindow::FromHandle(m_hWnd);
    if (!lpRect || !native)
        return;
    const POINT origin = native->ClientOrigin();
    lpRect->left += origin.x;
    lpRect->right += origin.x;
    lpRect->top += origin.y;
    lpRect->bottom += origin.y;
}

DWORD CWnd::GetStyle() const
{
    NativeWindow* native = NativeWindow::FromHandle(m_hWnd);
    return native ? native->Style() : 0;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT)
{
    NativeWindow* native = NativeWindow::FromHandle(m_hWnd);
    if (!native)
        return FALSE;
    const DWORD style = (native->Style() & ~dwRemove) | dwAdd;
    if (style == native->Style())
        return FALSE;
    native->SetStyle(style);
    return TRUE;
}

BOOL CWnd::IsWindowEnabled() const
{
    return m_hWnd && !(GetStyle() & WS_DISABLED);
}

BOOL CWnd::IsIconic() const
{
    NativeWindow* native = NativeWindow::FromHandle(m_hWnd);
    return native && native->IsIconic();
}

CFont* CWnd::GetFont()
{
    return reinterpret_cast<CFont*>(SendMessage(WM_GETFONT));
}

void CWnd::GetDlgItem(int nID, HWND* phWnd) const
{
    NativeWindow* native = NativeWindow::FromHandle(m_hWnd);
    if (phWnd)
        *phWnd = native ? native->ChildHandle(nID) : nullptr;
}
