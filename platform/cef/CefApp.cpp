#include "platform/cef/CefApp.h"

#include "platform/cef/CefEngine.h"

int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application, void*)
{
    CefRefPtr<CefCommandLine> commandLine = new CefCommandLine(args.argv);
    CefString processType = commandLine->GetSwitchValue("type");
    if (!commandLine->HasSwitch("type"))
        return -1;
    if (application)
        application->OnBeforeCommandLineProcessing(processType, commandLine);
    return 0;
}

bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application, void*)
{
    return CefEngine::Start(args, settings, std::move(application));
}

void CefShutdown()
{
    CefEngine::Stop();
}

void CefQuitMessageLoop() {}

void CefEnableHighDPISupport() {}
