// The application object: the launcher's start-up and the state its subsystems share.
#pragma once

#include "platform/afx/CString.h"
#include "platform/afx/CWinApp.h"

class CLauncherDlg;

// Modal results of the chain of windows.
constexpr int IDR_LAUNCHER_CLOSED = 100;
constexpr int IDR_LAUNCHER_CURRENT = 101;
constexpr int IDR_START_GAME = 102;
constexpr int IDR_FILES_CURRENT = 103;

class CLauncherApp : public CWinApp {
public:
    // The whole run on the main thread: the process's role, the engine, the game folder, the
    // chain of the three windows and the game start. 0 in the browser process.
    BOOL InitInstance() override;
    // Shuts the engine down when this process started it.
    int ExitInstance() override;

    // Line 4 of the launcher update list: the page the main window's browser opens.
    CString m_strWebUrl;
    // The parameter of the accepted "StartGame"; start-up turns it into the game's parameters.
    CString m_strStartParam;
    // The main window from just before its modal run until the chain has ended, else null.
    CLauncherDlg* m_pLauncherDlg = nullptr;

private:
    bool m_bEngineInitialized = false;
};

extern CLauncherApp theApp;
