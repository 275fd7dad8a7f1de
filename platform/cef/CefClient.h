// CefClient: the handlers of one browser, in the browser process. The layer asks for a handler
// each time it has something to report.
#pragma once

#include "platform/cef/CefBase.h"
#include "platform/cef/CefBrowser.h"
#include "platform/cef/CefDisplayHandler.h"
#include "platform/cef/CefLifeSpanHandler.h"
#include "platform/cef/CefLoadHandler.h"
#include "platform/cef/CefProcessMessage.h"
#include "platform/cef/CefRefPtr.h"

class CefClient : public virtual CefBase {
public:
    virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
    virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    // A declared message from the browser's page (CefMessageProtocol.h); the layer has declined
    // any other. True when handled.
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
                                          CefRefPtr<CefProcessMessage> message)
    {
        return false;
    }
};
