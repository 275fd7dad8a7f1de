#include "platform/afx/CDialog.h"

#include <glib.h>

#include <memory>
#include <mutex>

#include "platform/afx/DialogWindow.h"
#include "platform/win/MessageBox.h"
#include "platform/afx/DialogTemplates.h"
#include "platform/win/Threads.h"
#include "platform/win/WindowStyles.h"

namespace {

// An EndDialog from another thread, on its way to the main loop. The lock orders the hand-over
// by itself, not only through the main loop's own locks (which thread checkers do not see).
struct EndRequest {
    CDialog* dialog;
    HWND window;
    int result;
};
std::mutex g_endRequestMutex;

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

CDialog::~CDialog() = default;

int CDialog::DoModal()
{
    const DialogTemplate* dialogTemplate = FindDialogTemplate(static_cast<int>(m_nIDTemplate));
    if (!dialogTemplate || m_pWindow)
        return -1;
    auto window = std::make_unique<DialogWindow>(*dialogTemplate);
    m_pWindow = window.get();
    m_bEnded = false;
    m_nModalResult = -1;
    m_hWnd = window->Handle();
    window->Attach(this);
    m_hModalWnd = m_hWnd;

    const POINT created = window->Position();
    OnInitDialog();
    if (!m_bEnded) {
        const POINT now = window->Position();
        if (!(dialogTemplate->style & WS_VISIBLE) && now.x == created.x && now.y == created.y)
            window->CenterOnWorkArea();
        window->Show();
        window->SetDelivery(true);
        while (!m_bEnded)
            g_main_context_iteration(nullptr, TRUE);
    }

    m_hModalWnd = nullptr;
    m_pWindow = nullptr;
    window.reset();
    m_hWnd = nullptr;
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    HWND window = m_hModalWnd.load();
    if (!window)
        return;
    if (IsMainThread()) {
        EndModalRun(nResult);
        return;
    }
    EndRequest* request;
    {
        std::lock_guard lock(g_endRequestMutex);
        request = new EndRequest{this, window, nResult};
    }
    g_idle_add_full(G_PRIORITY_DEFAULT, EndFromLoop, request, nullptr);
}

int CDialog::EndFromLoop(void* data)
{
    std::unique_ptr<EndRequest> request;
    {
        std::lock_guard lock(g_endRequestMutex);
        request.reset(static_cast<EndRequest*>(data));
    }
    // While its window exists the dialog object is inside DoModal, so it is still alive; handles
    // are never reused.
    if (IsWindow(request->window) && request->dialog->m_hModalWnd.load() == request->window)
        request->dialog->EndModalRun(request->result);
    return G_SOURCE_REMOVE;
}

void CDialog::EndModalRun(int nResult)
{
    if (!m_pWindow || m_bEnded)
        return;
    m_nModalResult = nResult;
    m_bEnded = true;
    m_hModalWnd = nullptr;
    // As on Windows the window disappears at once and handles nothing more.
    m_pWindow->SetDelivery(false);
    m_pWindow->Hide();
    g_main_context_wakeup(nullptr);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
