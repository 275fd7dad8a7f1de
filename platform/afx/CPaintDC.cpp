#include "platform/afx/CPaintDC.h"

#include "platform/afx/CWnd.h"
#include "platform/afx/NativeWindow.h"

namespace {

cairo_t* PaintContextOf(CWnd* window)
{
    NativeWindow* native = window ? NativeWindow::FromHandle(window->m_hWnd) : nullptr;
    return native ? native->PaintContext() : nullptr;
}

}  // namespace

CPaintDC::CPaintDC(CWnd* pWnd) : CDC(PaintContextOf(pWnd)), m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {}
