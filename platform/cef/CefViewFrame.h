// CefViewFrame: the main frame of a CefViewBrowser. Loads into a browser that has closed do
// nothing.
#pragma once

#include "platform/cef/CefFrame.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefRefPtr.h"

class CefViewBrowser;

class CefViewFrame : public CefRefCounted<CefFrame> {
public:
    explicit CefViewFrame(CefRefPtr<CefViewBrowser> browser);

    void LoadURL(const CefString& url) override;
    void LoadString(const CefString& text, const CefString& url) override;

private:
    CefRefPtr<CefViewBrowser> m_browser;
};
