// The application object: the launcher's start-up and the state its subsystems share, which
// LauncherState() reaches for the process's life.
#pragma once

#include "platform/afx/CWinApp.h"
#include "update/CLauncherState.h"
#include "update/CLauncherStateScope.h"

class CLauncherApp : public CWinApp, public CLauncherState {
public:
    // The whole run on the main thread: the process's role, the engine, the game folder, the
    // chain of the three windows and the game start. 0 in the browser process.
    BOOL InitInstance() override;
    // Shuts the engine down when this process started it.
    int ExitInstance() override;

private:
    bool m_bEngineInitialized = false;
    CLauncherStateScope m_stateScope{*this};
};

extern CLauncherApp theApp;
