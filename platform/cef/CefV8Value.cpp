#include "platform/cef/CefV8Value.h"

#include <jsc/jsc.h>

#include <algorithm>
#include <charconv>
#include <string_view>

#include "platform/cef/CefV8Context.h"
#include "platform/win/Text.h"

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

// The text of a string in its JSON form, which escapes each unpaired surrogate as \uXXXX: two
// escapes that make a pair are one character, an unpaired one becomes U+FFFD.
std::wstring TextOfJsonString(std::string_view json)
{
    std::wstring text;
    if (json.size() < 2)
        return text;
    json = json.substr(1, json.size() - 2);  // the quotes
    auto codeUnit = [&](std::size_t at) -> int {
        if (at + 6 > json.size() || json[at] != '\\' || json[at + 1] != 'u')
            return -1;
        unsigned value = 0;
        const char* digits = json.data() + at + 2;
        auto [end, error] = std::from_chars(digits, digits + 4, value, 16);
        return error == std::errc() && end == digits + 4 ? static_cast<int>(value) : -1;
    };
    std::size_t i = 0;
    while (i < json.size()) {
        std::size_t escape = std::min(json.find('\\', i), json.size());
        text += Utf8ToWide(json.substr(i, escape - i));
        if (escape + 1 >= json.size())
            break;
        i = escape + 2;
        switch (char kind = json[escape + 1]) {
        case 'b':
            text += L'\b';
            break;
        case 'f':
            text += L'\f';
            break;
        case 'n':
            text += L'\n';
            break;
        case 'r':
            text += L'\r';
            break;
        case 't':
            text += L'\t';
            break;
        case 'u': {
            int unit = codeUnit(escape);
            if (unit < 0)
                return text;
            i = escape + 6;
            int low = unit >= 0xD800 && unit < 0xDC00 ? codeUnit(i) : -1;
            if (low >= 0xDC00 && low < 0xE000) {
                text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 6;
            } else {
                text += unit >= 0xD800 && unit < 0xE000 ? L'\xFFFD' : static_cast<wchar_t>(unit);
            }
            break;
        }
        default:  // '"', '\\', '/'
            text += static_cast<wchar_t>(kind);
        }
    }
    return text;
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
    GObjectPtr<JSCValue> object(jsc_value_new_object(context->GetJSCContext(), nullptr, nullptr));
    return new CefV8Value(object.get());
}

CefRefPtr<CefV8Value> CefV8Value::CreateFunction(const CefString& name, CefRefPtr<CefV8Handler> handler)
{
    CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
    if (!context || !handler)
        return nullptr;
    // The closure holds the browser but not the context: a context held from inside its own
    // window object would keep that window alive for ever.
    auto* closure = new FunctionClosure{name, handler, context->GetBrowser()};
    GObjectPtr<JSCValue> function(jsc_value_new_function_variadic(context->GetJSCContext(), name.ToString().c_str(),
                                                                  G_CALLBACK(CallFunction), closure, FreeClosure,
                                                                  JSC_TYPE_VALUE));
    return new CefV8Value(function.get());
}

CefV8Value::CefV8Value(JSCValue* value) : m_value(JSC_VALUE(g_object_ref(value))) {}

CefV8Value::~CefV8Value() = default;

bool CefV8Value::IsString() const
{
    return jsc_value_is_string(m_value.get());
}

std::size_t CefV8Value::GetStringLength() const
{
    if (!IsString())
        return 0;
    GObjectPtr<JSCValue> length(jsc_value_object_get_property(m_value.get(), "length"));
    double units = length && jsc_value_is_number(length.get()) ? jsc_value_to_double(length.get()) : 0;
    return static_cast<std::size_t>(units);
}

CefString CefV8Value::GetStringValue() const
{
    if (!IsString())
        return CefString();
    // JavaScriptCore's UTF-8 of a string ends at an unpaired surrogate; its JSON form keeps them.
    gchar* json = jsc_value_to_json(m_value.get(), 0);
    CefString text(TextOfJsonString(json ? json : ""));
    g_free(json);
    return text;
}

bool CefV8Value::SetValue(const CefString& key, CefRefPtr<CefV8Value> value, cef_v8_propertyattribute_t attribute)
{
    if (!value || !jsc_value_is_object(m_value.get()))
        return false;
    jsc_value_object_define_property_data(m_value.get(), key.ToString().c_str(), PropertyFlags(attribute),
                                          value->GetJSCValue());
    return true;
}
