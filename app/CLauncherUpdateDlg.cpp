#include "app/CLauncherUpdateDlg.h"

#include "app/CLauncherApp.h"
#include "app/UpdatePercent.h"
#include "app/UpdateWindowControls.h"
#include "platform/win/FileSystem.h"
#include "platform/win/Shell.h"
#include "platform/win/Threads.h"
#include "res/resource.h"
#include "update/CUpdateManager.h"
#include "update/UpdateAddresses.h"

namespace {

constexpr const wchar_t* kWindowTitle = L"Zorv大战登陆器";
constexpr const wchar_t* kCheckingText = L"正在检测登陆器版本...";
constexpr const wchar_t* kUpdatingText = L"正在更新登录器...";

}  // namespace

BEGIN_MESSAGE_MAP(CLauncherUpdateDlg, CBaseDlg)
    ON_MESSAGE(WM_UPDATE_NOTIFY, OnUpdateMessage)
END_MESSAGE_MAP()

CLauncherUpdateDlg::CLauncherUpdateDlg(CUpdateManager* pManager) : CBaseDlg(IDD_UPDATE_DIALOG), m_pManager(pManager)
{
    m_bmpBackground.LoadBitmap(IDB_UPDATE_BACKGROUND);
}

void CLauncherUpdateDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PROGRESS_TOTAL, m_progTotal);
    DDX_Control(pDX, IDC_PROGRESS_FILE, m_progFile);
    DDX_Control(pDX, IDC_TEXT_TOTAL, m_txtTotal);
    DDX_Control(pDX, IDC_TEXT_FILE, m_txtFile);
    DDX_Control(pDX, IDC_TEXT_STATUS, m_txtStatus);
}

BOOL CLauncherUpdateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    MoveWindow(0, 0, kUpdateWindowWidth, kUpdateWindowHeight, TRUE);
    SetWindowText(kWindowTitle);
    if (HRGN region = CreateRegionFromBitmap(m_bmpBackground); region && !SetWindowRgn(m_hWnd, region, TRUE))
        DeleteObject(region);

    LayOutBar(m_progTotal, IDB_PROGRESS_TOTAL_TRACK, IDB_PROGRESS_TOTAL_FILL, 43, 107);
    LayOutBar(m_progFile, IDB_PROGRESS_FILE_TRACK, IDB_PROGRESS_FILE_FILL, 43, 137);
    LayOutLabel(m_txtTotal, IDB_TEXT_TOTAL_BACKGROUND, 368, 111, 50, L"0%");
    LayOutLabel(m_txtFile, IDB_TEXT_FILE_BACKGROUND, 368, 141, 50, L"0%");
    LayOutLabel(m_txtStatus, IDB_TEXT_STATUS_BACKGROUND, 145, 164, 170, kCheckingText);

    // Last, once every control is in place; the download of a new launcher reports progress.
    m_pManager->m_hNotifyWnd = m_hWnd;
    m_pManager->m_bRunning = 1;
    if (m_pManager->m_hThread)
        CloseHandle(m_pManager->m_hThread);
    m_pManager->m_hThread =
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, LauncherUpdateThreadProc, m_pManager, 0, nullptr));
    return TRUE;
}

LRESULT CLauncherUpdateDlg::OnUpdateMessage(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case UN_LAUNCHER_UPDATING:
        ShowLabelText(m_txtStatus, kUpdatingText);
        break;
    case UN_LAUNCHER_DOWNLOADED:
        // The path under which the check stored the download.
        ShellExecuteW(nullptr, L"open", LauncherUpdatePath(GetModuleFilePath()), nullptr, nullptr, SW_SHOWNORMAL);
        SendMessage(WM_CLOSE);
        break;
    case UN_FILE_SUMMARY:
        delete reinterpret_cast<UpdateSummaryInfo*>(lParam);
        break;
    case UN_PROGRESS: {
        const auto* progress = reinterpret_cast<const UpdateProgressInfo*>(lParam);
        if (!progress)
            break;
        const int percent = IntegerPercent(progress->nFileDone, progress->nFileSize);
        ShowBarPosition(m_progTotal, percent);
        ShowBarPosition(m_progFile, percent);
        ShowLabelText(m_txtTotal, PercentText(percent));
        ShowLabelText(m_txtFile, PercentText(percent));
        delete progress;
        break;
    }
    case UN_LAUNCHER_CURRENT:
        EndDialog(IDR_LAUNCHER_CURRENT);
        break;
    case UN_FAILED:
        SendMessage(WM_CLOSE);
        break;
    default:
        break;
    }
    return 0;
}
