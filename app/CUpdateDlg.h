// The base of both update windows: the update template with its two bars and three labels on the
// update background, fed by the update manager's worker.
#pragma once

#include "app/CBaseDlg.h"
#include "app/controls/CImageProgressCtrl.h"
#include "app/controls/CTransparentStatic.h"

class CUpdateManager;

class CUpdateDlg : public CBaseDlg {
public:
    // The manager is not owned; it outlives the window and stops its worker when destroyed.
    explicit CUpdateDlg(CUpdateManager* pManager);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // The class library's initialisation and the skinned window at the update windows' size.
    BOOL OnInitDialog() override;
    // WM_UPDATE_NOTIFY: wParam the code, lParam its record, which the window frees.
    virtual LRESULT OnUpdateMessage(WPARAM wParam, LPARAM lParam) = 0;
    // Both bars empty, both labels "0%", the status label with its first text.
    void LayOutControls(LPCWSTR statusText);

    CUpdateManager* m_pManager;
    CImageProgressCtrl m_progTotal;
    CImageProgressCtrl m_progFile;
    CTransparentStatic m_txtTotal;
    CTransparentStatic m_txtFile;
    CTransparentStatic m_txtStatus;

    DECLARE_MESSAGE_MAP()
};
