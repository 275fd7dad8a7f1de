// The state the launcher's subsystems share, carried by the application object: the update
// engine writes the page's address, the browser client the game's parameter, and start-up names
// the main window while it runs. Every layer reaches it through LauncherState().
#pragma once

#include "platform/afx/CDialog.h"
#include "platform/afx/CString.h"

// Modal results of the chain of windows.
constexpr int IDR_LAUNCHER_CLOSED = 100;
constexpr int IDR_LAUNCHER_CURRENT = 101;
constexpr int IDR_START_GAME = 102;
constexpr int IDR_FILES_CURRENT = 103;

class CLauncherState {
public:
    CLauncherState() = default;
    CLauncherState(const CLauncherState&) = delete;
    CLauncherState& operator=(const CLauncherState&) = delete;

    // Line 4 of the launcher update list: the page the main window's browser opens.
    CString m_strWebUrl;
    // The parameter of the accepted "StartGame"; start-up turns it into the game's parameters.
    CString m_strStartParam;
    // The main window from just before its modal run until the chain has ended, else null.
    CDialog* m_pLauncherDlg = nullptr;
};

// The shared state of the running program: the application object's in the launcher, a test's
// own while a CLauncherStateScope for it lives.
CLauncherState& LauncherState();
