#include "platform/cef/CefV8Value.h"

#include <jsc/jsc.h>

#include "platform/cef/CefV8Context.h"

namespace {

// What a function made by CreateFunction carries; freed when the script engine drops the function.
struct FunctionClosure {
    CefString name;
    CefRefPtr<CefV8Handler> handler;
    CefRefPtr<CefBrowser> browser;
};

void FreeClosure(gpointer data)
{
    delete static_cast<FunctionClosure*>(data);
}

// The function's context is entered for the call. JavaScriptCore's GLib API passes no
// this-object, so the handler gets none.
JSCValue* CallFunction(GPtrArray* arguments, gpointer data)
{
    auto* closure = static_cast<FunctionClosure*>(data);
    JSCContext* script = jsc_context_get_current();
    CefV8ValueList values;
    for (guint i = 0; i < arguments->len; ++i)
        values.push_back(new CefV8Value(JSC_VALUE(g_ptr_array_index(arguments, i))));

    CefRefPtr<CefV8Context> context = new CefV8Context(script, closure->browser);
    CefRefPtr<CefV8Value> retval;
    CefString exception;
    context->Enter();
    bool handled = closure->handler->Execute(closure->name, nullptr, values, retval, exception);
    context->Exit();

    if (handled && !exception.empty())
        jsc_context_throw(script, exception.ToString().c_str());
    else if (handled && retval)
        return JSC_VALUE(g_object_ref(retval->GetJSCValue()));
    return jsc_value_new_undefined(script);
}

JSCValuePropertyFlags PropertyFlags(cef_v8_propertyattribute_t attribute)
{
    int flags = 0;
    if (!(attribute & V8_PROPERTY_ATTRIBUTE_READONLY))
        flags |= JSC_VALUE_PROPERTY_WRITABLE;
    if (!(attribute & V8_PROPERTY_ATTRIBUTE_DONTENUM))
        flags |= JSC_VALUE_PROPERTY_ENUMERABLE;
    if (!(attribute & V8_PROPERTY_ATTRIBUTE_DONTDELETE))
        flags |= JSC_VALUE_PROPERTY_CONFIGURABLE;
    return static_cast<JSCValuePropertyFlags>(flags);
}

}  // namespace

CefRefPtr<CefV8Value> CefV8Value::CreateObject(CefRefPtr<CefV8Accessor>)
{
    CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
    if (!context)
        return nullptr;
    JSCValue* object = jsc_value_new_object(context->GetJSCContext(), nullptr, nullptr);
    CefRefPtr<CefV8Value> value = new CefV8Value(object);
    g_object_unref(object);
    return value;
}

CefRefPtr<CefV8Value> CefV8Value::CreateFunction(const CefString& name, CefRefPtr<CefV8Handler> handler)
{
    CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
    if (!context || !handler)
        return nullptr;
    // The closure holds the browser but not the context: a context held from inside its own
    // window object would keep that window alive for ever.
    auto* closure = new FunctionClosure{name, handler, context->GetBrowser()};
    JSCValue* function = jsc_value_new_function_variadic(context->GetJSCContext(), name.ToString().c_str(),
                                                         G_CALLBACK(CallFunction), closure, FreeClosure,
                                                         JSC_TYPE_VALUE);
    CefRefPtr<CefV8Value> value = new CefV8Value(function);
    g_object_unref(function);
    return value;
}

CefV8Value::CefV8Value(JSCValue* value) : m_value(JSC_VALUE(g_object_ref(value))) {}

CefV8Value::~CefV8Value()
{
    g_object_unref(m_value);
}

bool CefV8Value::IsString() const
{
    return jsc_value_is_string(m_value);
}

CefString CefV8Value::GetStringValue() const
{
    if (!IsString())
        return CefString();
    GBytes* bytes = jsc_value_to_string_as_bytes(m_value);
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    CefString text(std::string_view(data ? data : "", size));
    g_bytes_unref(bytes);
    return text;
}

bool CefV8Value::SetValue(const CefString& key, CefRefPtr<CefV8Value> value, cef_v8_propertyattribute_t attribute)
{
    if (!value || !jsc_value_is_object(m_value))
        return false;
    jsc_value_object_define_property_data(m_value, key.ToString().c_str(), PropertyFlags(attribute),
                                          value->GetJSCValue());
    return true;
}
