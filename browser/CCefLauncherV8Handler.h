// CCefLauncherV8Handler: serves external.StartGame and external.OpenWeb of one script context.
// A call with exactly one string, no longer than a command line can carry, becomes the process
// message of the function's name, sent to the browser process; every call gives the script
// undefined.
#pragma once

#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefV8Handler.h"

class CCefLauncherV8Handler : public CefRefCounted<CefV8Handler> {
public:
    bool Execute(const CefString& name, CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>& retval, CefString& exception) override;
};
