#include "app/CUpdateDlg.h"

#include "app/UpdateWindowControls.h"
#include "platform/afx/CDataExchange.h"
#include "res/resource.h"
#include "update/UpdateNotify.h"

BEGIN_MESSAGE_MAP(CUpdateDlg, CBaseDlg)
    ON_MESSAGE(WM_UPDATE_NOTIFY, OnUpdateMessage)
END_MESSAGE_MAP()

CUpdateDlg::CUpdateDlg(CUpdateManager* pManager) : CBaseDlg(IDD_UPDATE_DIALOG), m_pManager(pManager)
{
    m_bmpBackground.LoadBitmap(IDB_UPDATE_BACKGROUND);
}

void CUpdateDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PROGRESS_TOTAL, m_progTotal);
    DDX_Control(pDX, IDC_PROGRESS_FILE, m_progFile);
    DDX_Control(pDX, IDC_TEXT_TOTAL, m_txtTotal);
    DDX_Control(pDX, IDC_TEXT_FILE, m_txtFile);
    DDX_Control(pDX, IDC_TEXT_STATUS, m_txtStatus);
}

BOOL CUpdateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetUpSkinnedWindow(m_hIcon, kUpdateWindowWidth, kUpdateWindowHeight);
    return TRUE;
}

void CUpdateDlg::LayOutControls(LPCWSTR statusText)
{
    LayOutBar(m_progTotal, IDB_PROGRESS_TOTAL_TRACK, IDB_PROGRESS_TOTAL_FILL, 43, 107);
    LayOutBar(m_progFile, IDB_PROGRESS_FILE_TRACK, IDB_PROGRESS_FILE_FILL, 43, 137);
    LayOutLabel(m_txtTotal, IDB_TEXT_TOTAL_BACKGROUND, 368, 111, 50, L"0%");
    LayOutLabel(m_txtFile, IDB_TEXT_FILE_BACKGROUND, 368, 141, 50, L"0%");
    LayOutLabel(m_txtStatus, IDB_TEXT_STATUS_BACKGROUND, 145, 164, 170, statusText);
}
