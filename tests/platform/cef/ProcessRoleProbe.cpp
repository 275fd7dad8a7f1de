// Started by CefExecuteProcessTest with a command line of its choice: prints what the
// application object saw and ends with CefExecuteProcess's code, or 99 on the browser road.
#include <cstdio>
#include <string>

#include "platform/cef/CefApp.h"
#include "platform/cef/CefRefCounted.h"

namespace {

class RoleApp : public CefRefCounted<CefApp> {
public:
    void OnBeforeCommandLineProcessing(const CefString& processType, CefRefPtr<CefCommandLine> commandLine) override
    {
        commandLine->AppendSwitch("disable-extensions");
        std::string seen = processType.ToString();
        for (std::size_t i = 1; i < commandLine->GetArgv().size(); ++i)
            seen += " " + commandLine->GetArgv()[i];
        std::printf("%s", seen.c_str());
    }
};

}  // namespace

int main()
{
    CefRefPtr<CefApp> application = new RoleApp;
    int code = CefExecuteProcess(CefMainArgs(nullptr), application, nullptr);
    return code >= 0 ? code : 99;
}
