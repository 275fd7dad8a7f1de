// CefV8Context: the script context of one frame's window object in the default script world.
// The layer enters a context while it reports it (OnContextCreated) and while a function made in
// it runs; the entered context is the current one. Used on the thread that runs the page's scripts.
#pragma once

#include "platform/cef/CefBase.h"
#include "platform/cef/CefBrowser.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefV8Value.h"

typedef struct _JSCContext JSCContext;

class CefV8Context : public CefRefCounted<CefBase> {
public:
    // The innermost entered context, or null.
    static CefRefPtr<CefV8Context> GetCurrentContext();

    // Takes a reference to context, held while this object lives: keep it only while the
    // context is in use, since the page's window object is not freed while it is held.
    CefV8Context(JSCContext* context, CefRefPtr<CefBrowser> browser);
    CefV8Context(const CefV8Context&) = delete;
    CefV8Context& operator=(const CefV8Context&) = delete;
    ~CefV8Context() override;

    CefRefPtr<CefBrowser> GetBrowser() const { return m_browser; }
    CefRefPtr<CefV8Value> GetGlobal() const;

    // Every Enter is paired with an Exit, innermost first.
    void Enter();
    void Exit();

    JSCContext* GetJSCContext() const { return m_context.get(); }

private:
    GObjectPtr<JSCContext> m_context;
    CefRefPtr<CefBrowser> m_browser;
};
