#include "platform/cef/CefViewFrame.h"

#include <webkit2/webkit2.h>

#include "platform/cef/CefViewBrowser.h"

CefViewFrame::CefViewFrame(CefRefPtr<CefViewBrowser> browser) : m_browser(std::move(browser)) {}

void CefViewFrame::LoadURL(const CefString& url)
{
    m_browser->LoadAddress(url.ToString());
}

void CefViewFrame::LoadString(const CefString& text, const CefString& url)
{
    // An alternate page stands in for url in place and adds no history entry of its own.
    if (WebKitWebView* view = m_browser->GetWebView())
        webkit_web_view_load_alternate_html(view, text.ToString().c_str(), url.ToString().c_str(), nullptr);
}
