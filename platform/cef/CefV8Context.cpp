#include "platform/cef/CefV8Context.h"

#include <jsc/jsc.h>

#include <vector>

namespace {

thread_local std::vector<CefV8Context*> t_entered;

}  // namespace

CefRefPtr<CefV8Context> CefV8Context::GetCurrentContext()
{
    return t_entered.empty() ? nullptr : t_entered.back();
}

CefV8Context::CefV8Context(JSCContext* context, CefRefPtr<CefBrowser> browser)
    : m_context(JSC_CONTEXT(g_object_ref(context))), m_browser(std::move(browser))
{
}

CefV8Context::~CefV8Context() = default;

CefRefPtr<CefV8Value> CefV8Context::GetGlobal() const
{
    GObjectPtr<JSCValue> global(jsc_context_get_global_object(m_context.get()));
    if (!global)
        return nullptr;
    return new CefV8Value(global.get());
}

void CefV8Context::Enter()
{
    t_entered.push_back(this);
}

void CefV8Context::Exit()
{
    if (!t_entered.empty() && t_entered.back() == this)
        t_entered.pop_back();
}
