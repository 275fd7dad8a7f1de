// CDialog: a modal dialog made from a dialog template resource (platform/afx/DialogTemplates.h).
//
// DoModal creates the window hidden with its controls, calls OnInitDialog (whose data exchange
// attaches the control objects), centres a dialog that was created hidden and kept its place
// through OnInitDialog, shows it and runs a nested main loop until EndDialog. Messages sent from
// other threads and posted messages reach the dialog and its controls only from then on, so
// none is handled before OnInitDialog has returned. When the run ends the window is destroyed
// and what was still queued for it is dropped.
#pragma once

#include <atomic>

#include "platform/afx/CDataExchange.h"
#include "platform/afx/CWnd.h"

class DialogWindow;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate);
    ~CDialog() override;

    // The result given to EndDialog; -1 when the template does not exist or a run is going on.
    virtual int DoModal();
    // Ends the modal run with nResult. From any thread: from another one it is handed to the main
    // loop. Ignored when no run is going on, also when the run has ended by the time it arrives.
    void EndDialog(int nResult);
    // True from the creation of the window in DoModal until the run is ended. Any thread.
    bool IsModalRunning() const { return m_hModalWnd.load() != nullptr; }

    virtual BOOL OnInitDialog();

protected:
    virtual void DoDataExchange(CDataExchange* pDX) {}
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // The OK command (Enter): data exchange, then EndDialog(IDOK).
    virtual void OnOK();
    // The cancel command (Esc, WM_CLOSE): EndDialog(IDCANCEL).
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    static int EndFromLoop(void* request);
    void EndModalRun(int nResult);

    UINT m_nIDTemplate;
    DialogWindow* m_pWindow = nullptr;
    std::atomic<HWND> m_hModalWnd = nullptr;
    bool m_bEnded = false;
    int m_nModalResult = -1;
};
