#include "browser/CCefLauncherV8Handler.h"

#include "browser/LauncherMessages.h"
#include "platform/cef/CefV8Context.h"
#include "platform/cef/CefV8Value.h"

bool CCefLauncherV8Handler::Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList& arguments,
                                    CefRefPtr<CefV8Value>&, CefString&)
{
    // The name the function was made with, whatever property the script reached it through.
    std::string function = name.ToString();
    if (function != kStartGameMessage && function != kOpenWebMessage)
        return false;
    if (arguments.size() != 1 || !arguments[0] || !arguments[0]->IsString())
        return false;
    // Refused before its text is copied: a page's string may be hundreds of MiB.
    if (arguments[0]->GetStringLength() > kMaxMessageArgumentLength)
        return false;

    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(function);
    CefRefPtr<CefListValue> list = message->GetArgumentList();
    list->SetSize(1);
    list->SetString(0, arguments[0]->GetStringValue());

    CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
    CefRefPtr<CefBrowser> browser = context ? context->GetBrowser() : nullptr;
    if (browser)
        browser->SendProcessMessage(PID_BROWSER, message);
    return false;
}
