// CefPageBrowser: a browser as its page's web process sees it, named by WebKit's page id. It
// sends the page's declared messages to the browser process.
#pragma once

#include <glib.h>

#include "platform/cef/CefBrowser.h"
#include "platform/cef/CefRefCounted.h"

typedef struct _WebKitWebExtension WebKitWebExtension;

class CefPageBrowser : public CefRefCounted<CefBrowser> {
public:
    // extension: WebKit's, alive as long as the process.
    CefPageBrowser(WebKitWebExtension* extension, guint64 pageId);

    CefRefPtr<CefFrame> GetMainFrame() override;
    bool IsSame(CefRefPtr<CefBrowser> that) override;
    // False as well when the page has gone.
    bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override;

private:
    WebKitWebExtension* m_extension;
    guint64 m_pageId;
};
