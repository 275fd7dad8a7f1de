// The client update window: the self-update window's layout, running the client update on the
// update manager's worker. The upper bar and label show the share of all pending bytes, the
// lower ones the current file's. Ends with 103 when every listed file is in place; closes
// (IDCANCEL) when the update fails.
#pragma once

#include "app/CBaseDlg.h"
#include "app/controls/CImageProgressCtrl.h"
#include "app/controls/CTransparentStatic.h"

struct UpdateWindowControls;

class CUpdateManager;

class CExecutableUpdateDlg : public CBaseDlg {
public:
    // The manager is not owned; it outlives the window and stops its worker when destroyed.
    explicit CExecutableUpdateDlg(CUpdateManager* pManager);

protected:
    UpdateWindowControls Controls();
    void DoDataExchange(CDataExchange* pDX) override;
    // Starts the worker with progress reports off, then lays the controls out.
    BOOL OnInitDialog() override;
    // WM_UPDATE_NOTIFY: wParam the code, lParam its record, which the window frees.
    LRESULT OnUpdateMessage(WPARAM wParam, LPARAM lParam);

    CUpdateManager* m_pManager;
    CImageProgressCtrl m_progTotal;
    CImageProgressCtrl m_progFile;
    CTransparentStatic m_txtTotal;
    CTransparentStatic m_txtFile;
    CTransparentStatic m_txtStatus;

    DECLARE_MESSAGE_MAP()
};
