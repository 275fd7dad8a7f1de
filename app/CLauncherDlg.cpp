#include "app/CLauncherDlg.h"

#include "browser/CCefBrowserHandler.h"
#include "platform/afx/AfxResources.h"
#include "platform/cef/CefBrowserHost.h"
#include "platform/win/Icons.h"
#include "platform/win/ResourceNames.h"
#include "platform/win/WindowMessages.h"
#include "platform/win/WindowStyles.h"
#include "res/resource.h"
#include "update/CLauncherState.h"

namespace {

constexpr int kWindowWidth = 1200;
constexpr int kWindowHeight = 700;
// The browser's rectangle in the window, from (390, 215) to (1072, 619).
constexpr int kBrowserX = 390;
constexpr int kBrowserY = 215;
constexpr int kBrowserWidth = 682;
constexpr int kBrowserHeight = 404;
constexpr DWORD kBrowserStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP;

}  // namespace

BEGIN_MESSAGE_MAP(CLauncherDlg, CBaseDlg)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BTN_CLOSE, OnBnClickedClose)
    ON_BN_CLICKED(IDC_BTN_MINIMIZE, OnBnClickedMinimize)
END_MESSAGE_MAP()

CLauncherDlg::CLauncherDlg()
    : CBaseDlg(IDD_LAUNCHER_DIALOG), m_hIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_LAUNCHER)))
{
    m_bmpBackground.LoadBitmap(IDB_LAUNCHER_BACKGROUND);
}

void CLauncherDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_BTN_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_BTN_MINIMIZE, m_btnMinimize);
}

BOOL CLauncherDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetUpSkinnedWindow(m_hIcon, kWindowWidth, kWindowHeight);

    m_btnClose.LoadBitmaps(IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, 0);
    m_btnClose.MoveWindow(1102, 197, 28, 28, TRUE);
    m_btnMinimize.LoadBitmaps(IDB_MINIMIZE_NORMAL, IDB_MINIMIZE_PRESSED, IDB_MINIMIZE_HOVER, 0);
    m_btnMinimize.MoveWindow(1121, 232, 21, 25, TRUE);

    CefWindowInfo windowInfo;
    windowInfo.style = kBrowserStyle;
    windowInfo.x = kBrowserX;
    windowInfo.y = kBrowserY;
    windowInfo.width = kBrowserWidth;
    windowInfo.height = kBrowserHeight;
    windowInfo.parent_window = m_hWnd;
    CefBrowserSettings settings;
    CefRefPtr<CCefBrowserHandler> handler(new CCefBrowserHandler);
    CefBrowserHost::CreateBrowser(windowInfo, handler.get(), CefString(LauncherState().m_strWebUrl.GetString()), settings, nullptr);
    return TRUE;
}

HCURSOR CLauncherDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

void CLauncherDlg::OnBnClickedClose()
{
    EndDialog(IDR_LAUNCHER_CLOSED);
}

void CLauncherDlg::OnBnClickedMinimize()
{
    PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
}
