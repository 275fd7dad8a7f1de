// CefFrame: a frame of a browser, in the browser process. WebKit's UI process reaches only a
// page's main frame, so every frame the layer gives out is the main frame.
#pragma once

#include "platform/cef/CefBase.h"
#include "platform/cef/CefString.h"

class CefFrame : public virtual CefBase {
public:
    virtual void LoadURL(const CefString& url) = 0;
    // Shows the page text as the document of url, without fetching url.
    virtual void LoadString(const CefString& text, const CefString& url) = 0;
};
