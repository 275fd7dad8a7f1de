// The self-update window: a small skinned window that runs the launcher check on the update
// manager's worker and shows its stage and the new launcher's download. Ends with 101 when the
// launcher is current; in every other outcome it closes (IDCANCEL), after starting a downloaded
// new launcher.
#pragma once

#include "app/CBaseDlg.h"
#include "app/controls/CImageProgressCtrl.h"
#include "app/controls/CTransparentStatic.h"

struct UpdateWindowControls;

class CUpdateManager;

class CLauncherUpdateDlg : public CBaseDlg {
public:
    // The manager is not owned; it outlives the window and stops its worker when destroyed.
    explicit CLauncherUpdateDlg(CUpdateManager* pManager);

protected:
    UpdateWindowControls Controls();
    void DoDataExchange(CDataExchange* pDX) override;
    // Lays the window out, then starts the worker.
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
