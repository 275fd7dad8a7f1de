// CCefLauncherV8Handler: serves external.StartGame and external.OpenWeb of one script context.
// A call with exactly one string becomes the process message of the function's name, sent to
// the browser process; every call gives the script undefined.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/cef/CefV8Handler.h"

class CCefLauncherV8Handler : public CefV8Handler {
public:
    bool Execute(const CefString& name, CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>& retval, CefString& exception) override;

    void AddRef() const override;
    bool Release() const override;
    bool HasOneRef() const override;

private:
    mutable std::atomic<std::int32_t> m_refCount{0};
};
