#include "platform/cef/extension/CefPageBrowser.h"

#include <webkit2/webkit-web-extension.h>

#include "platform/cef/CefMessageProtocol.h"

CefPageBrowser::CefPageBrowser(WebKitWebExtension* extension, guint64 pageId)
    : m_extension(extension), m_pageId(pageId)
{
}

CefRefPtr<CefFrame> CefPageBrowser::GetMainFrame()
{
    return nullptr;
}

bool CefPageBrowser::IsSame(CefRefPtr<CefBrowser> that)
{
    auto* page = dynamic_cast<CefPageBrowser*>(that.get());
    return page && page->m_pageId == m_pageId;
}

bool CefPageBrowser::SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message)
{
    if (target != PID_BROWSER || !message)
        return false;
    WebKitWebPage* page = webkit_web_extension_get_page(m_extension, m_pageId);
    if (!page)
        return false;
    GVariant* parameters = CefMessageProtocol::Encode(*message);
    if (!parameters)
        return false;
    // Both the message and its parameters are floating: the send takes them over.
    webkit_web_page_send_message_to_view(
        page, webkit_user_message_new(message->GetName().ToString().c_str(), parameters), nullptr, nullptr, nullptr);
    return true;
}
