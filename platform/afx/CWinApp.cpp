#include "platform/afx/CWinApp.h"

#include <gtk/gtk.h>

#include "platform/win/FileSystem.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CString AfxGetAppName()
{
    if (g_app && !g_app->m_strAppName.IsEmpty())
        return g_app->m_strAppName;
    CString path = GetModuleFilePath();
    CString name = path.Mid(path.ReverseFind(L'/') + 1);
    int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

CWinApp::CWinApp(LPCWSTR appName)
{
    m_strAppName = appName ? CString(appName) : AfxGetAppName();
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

int AfxWinMain(CWinApp& app, int argc, char** argv)
{
    gtk_init_check(&argc, &argv);
    app.InitInstance();
    return app.ExitInstance();
}
