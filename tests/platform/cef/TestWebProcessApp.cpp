// The web-process side of the layer's tests: every script context gets "probe", whose functions
// exercise the layer from a page.
//   probe.send(name, ...values)  sends a process message; a value that is not a string stays null
//   probe.echo(value)            returns value
//   probe.fail(text)             throws text
//   probe.commandLine()          sends "StartGame" with the process type and command line seen here
#include <string>

#include "platform/cef/CefApp.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefV8Context.h"
#include "platform/cef/CefV8Handler.h"
#include "platform/cef/CefV8Value.h"
#include "platform/cef/extension/CefWebProcessApp.h"

namespace {

std::string g_commandLine;

class ProbeHandler : public CefRefCounted<CefV8Handler> {
public:
    bool Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>& retval, CefString& exception) override
    {
        std::string function = name.ToString();
        if (function == "echo" && arguments.size() == 1) {
            retval = arguments[0];
            return true;
        }
        if (function == "fail" && arguments.size() == 1) {
            exception = arguments[0]->GetStringValue();
            return true;
        }
        if (function == "send" && !arguments.empty())
            Send(arguments);
        if (function == "commandLine")
            Send("StartGame", g_commandLine);
        return false;
    }

private:
    static void Send(const CefV8ValueList& arguments)
    {
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(arguments[0]->GetStringValue());
        CefRefPtr<CefListValue> list = message->GetArgumentList();
        list->SetSize(arguments.size() - 1);
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            if (arguments[i]->IsString())
                list->SetString(i - 1, arguments[i]->GetStringValue());
        }
        CefV8Context::GetCurrentContext()->GetBrowser()->SendProcessMessage(PID_BROWSER, message);
    }

    static void Send(const char* name, const std::string& text)
    {
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
        message->GetArgumentList()->SetString(0, text);
        CefV8Context::GetCurrentContext()->GetBrowser()->SendProcessMessage(PID_BROWSER, message);
    }
};

class ProbeApp : public CefRefCounted<CefApp>, public CefRenderProcessHandler {
public:
    void OnBeforeCommandLineProcessing(const CefString& processType, CefRefPtr<CefCommandLine> commandLine) override
    {
        commandLine->AppendSwitch("probe-switch");
        g_commandLine = processType.ToString();
        for (const std::string& argument : commandLine->GetArgv())
            g_commandLine += " " + argument;
    }

    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }

    void OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefV8Context> context) override
    {
        CefRefPtr<CefV8Handler> handler = new ProbeHandler;
        CefRefPtr<CefV8Value> probe = CefV8Value::CreateObject(nullptr);
        for (const char* name : {"send", "echo", "fail", "commandLine"})
            probe->SetValue(name, CefV8Value::CreateFunction(name, handler), V8_PROPERTY_ATTRIBUTE_NONE);
        context->GetGlobal()->SetValue("probe", probe, V8_PROPERTY_ATTRIBUTE_READONLY);
    }
};

}  // namespace

CefRefPtr<CefApp> CefCreateWebProcessApp()
{
    return new ProbeApp;
}
