#include "app/CExecutableUpdateDlg.h"

#include "app/CLauncherApp.h"
#include "app/UpdatePercent.h"
#include "app/UpdateWindowControls.h"
#include "platform/win/Threads.h"
#include "res/resource.h"
#include "update/CUpdateManager.h"

namespace {

constexpr const wchar_t* kWindowTitle = L"Zorv大战登陆器";
constexpr const wchar_t* kCheckingText = L"正在检测客户端版本...";
constexpr const wchar_t* kUpdatingText = L"正在更新客户端...";
constexpr const wchar_t* kDoneText = L"更新完成，即将启动游戏";

}  // namespace

BEGIN_MESSAGE_MAP(CExecutableUpdateDlg, CBaseDlg)
    ON_MESSAGE(WM_UPDATE_NOTIFY, OnUpdateMessage)
END_MESSAGE_MAP()

CExecutableUpdateDlg::CExecutableUpdateDlg(CUpdateManager* pManager)
    : CBaseDlg(IDD_UPDATE_DIALOG), m_pManager(pManager)
{
    m_bmpBackground.LoadBitmap(IDB_UPDATE_BACKGROUND);
}

void CExecutableUpdateDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PROGRESS_TOTAL, m_progTotal);
    DDX_Control(pDX, IDC_PROGRESS_FILE, m_progFile);
    DDX_Control(pDX, IDC_TEXT_TOTAL, m_txtTotal);
    DDX_Control(pDX, IDC_TEXT_FILE, m_txtFile);
    DDX_Control(pDX, IDC_TEXT_STATUS, m_txtStatus);
}

BOOL CExecutableUpdateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    MoveWindow(0, 0, kUpdateWindowWidth, kUpdateWindowHeight, TRUE);
    SetWindowText(kWindowTitle);
    if (HRGN region = CreateRegionFromBitmap(m_bmpBackground); region && !SetWindowRgn(m_hWnd, region, TRUE))
        DeleteObject(region);

    // The flag is off before the thread exists, so the transfer of the file list reports no
    // progress. The worker's messages wait until this function has returned.
    m_pManager->m_hNotifyWnd = m_hWnd;
    m_pManager->m_bRunning = 1;
    m_pManager->m_bReportProgress = false;
    if (m_pManager->m_hThread)
        CloseHandle(m_pManager->m_hThread);
    m_pManager->m_hThread =
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ClientUpdateThreadProc, m_pManager, 0, nullptr));

    LayOutBar(m_progTotal, IDB_PROGRESS_TOTAL_TRACK, IDB_PROGRESS_TOTAL_FILL, 43, 107);
    LayOutBar(m_progFile, IDB_PROGRESS_FILE_TRACK, IDB_PROGRESS_FILE_FILL, 43, 137);
    LayOutLabel(m_txtTotal, IDB_TEXT_TOTAL_BACKGROUND, 368, 111, 50, L"0%");
    LayOutLabel(m_txtFile, IDB_TEXT_FILE_BACKGROUND, 368, 141, 50, L"0%");
    LayOutLabel(m_txtStatus, IDB_TEXT_STATUS_BACKGROUND, 145, 164, 170, kCheckingText);
    return TRUE;
}

LRESULT CExecutableUpdateDlg::OnUpdateMessage(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case UN_FILE_SUMMARY:
        // The worker waits in its send, so the flag is on before its first download.
        m_pManager->m_bReportProgress = true;
        ShowLabelText(m_txtStatus, kUpdatingText);
        delete reinterpret_cast<UpdateSummaryInfo*>(lParam);
        break;
    case UN_FILES_DONE:
        ShowLabelText(m_txtStatus, kDoneText);
        ShowBarPosition(m_progTotal, 100);
        ShowBarPosition(m_progFile, 100);
        ShowLabelText(m_txtTotal, PercentText(100));
        ShowLabelText(m_txtFile, PercentText(100));
        EndDialog(IDR_FILES_CURRENT);
        break;
    case UN_PROGRESS: {
        const auto* progress = reinterpret_cast<const UpdateProgressInfo*>(lParam);
        if (!progress)
            break;
        const int total = SinglePrecisionPercent(progress->nTotalDone, progress->nTotalSize);
        const int file = SinglePrecisionPercent(progress->nFileDone, progress->nFileSize);
        ShowBarPosition(m_progTotal, total);
        ShowBarPosition(m_progFile, file);
        ShowLabelText(m_txtTotal, PercentText(total));
        ShowLabelText(m_txtFile, PercentText(file));
        delete progress;
        break;
    }
    case UN_FAILED:
        SendMessage(WM_CLOSE);
        break;
    default:
        break;
    }
    return 0;
}
