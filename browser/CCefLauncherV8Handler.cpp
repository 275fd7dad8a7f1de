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

void CCefLauncherV8Handler::AddRef() const
{
    m_refCount.fetch_add(1, std::memory_order_relaxed);
}

bool CCefLauncherV8Handler::Release() const
{
    if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return false;
    delete this;
    return true;
}

bool CCefLauncherV8Handler::HasOneRef() const
{
    return m_refCount.load(std::memory_order_acquire) == 1;
}
