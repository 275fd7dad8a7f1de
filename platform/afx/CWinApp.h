// CWinApp: the application object. The one object of a derived class is made at static
// initialisation.
#pragma once

#include "platform/afx/CString.h"

class CWinApp {
public:
    // No name: the executable's file name without its extension.
    explicit CWinApp(LPCWSTR appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // Kept for the class library's profile settings; nothing is stored on this platform.
    void SetRegistryKey(LPCWSTR keyName) { m_strRegistryKey = keyName; }

    CString m_strAppName;
    CString m_strRegistryKey;
};

// The program's entry: opens the display when there is one, then runs the application object's
// InitInstance and ExitInstance, whose result is the exit code. This platform has no message loop
// of the class library's own: InitInstance runs its windows.
int AfxWinMain(CWinApp& app, int argc, char** argv);
// The application's name when no application object exists yet.
CString AfxGetAppName();
