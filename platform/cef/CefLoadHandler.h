// CefLoadHandler: a browser's load failures. WebKit's UI process learns only of the main
// frame's, so frame is always the main frame.
#pragma once

#include "platform/cef/CefBase.h"
#include "platform/cef/CefBrowser.h"
#include "platform/cef/CefErrorCode.h"
#include "platform/cef/CefFrame.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefString.h"

class CefLoadHandler : public virtual CefBase {
public:
    using ErrorCode = cef_errorcode_t;

    // errorText is WebKit's description of the failure. With a load handler the frame shows
    // what the handler loads into it (nothing, when it loads nothing), not WebKit's own error page.
    virtual void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                             const CefString& errorText, const CefString& failedUrl)
    {
    }
};
