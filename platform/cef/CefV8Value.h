// CefV8Value: a script value of a page, over a JavaScriptCore value. Values are made in the
// current script context (CefV8Context::GetCurrentContext) and are used on the thread that runs
// the page's scripts.
#pragma once

#include <cstddef>

#include "platform/cef/CefBase.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefString.h"
#include "platform/cef/CefV8Accessor.h"
#include "platform/cef/CefV8Handler.h"
#include "platform/win/GObjectPtr.h"

typedef struct _JSCValue JSCValue;

enum cef_v8_propertyattribute_t {
    V8_PROPERTY_ATTRIBUTE_NONE = 0,
    V8_PROPERTY_ATTRIBUTE_READONLY = 1 << 0,
    V8_PROPERTY_ATTRIBUTE_DONTENUM = 1 << 1,
    V8_PROPERTY_ATTRIBUTE_DONTDELETE = 1 << 2,
};

class CefV8Value : public CefRefCounted<CefBase> {
public:
    // Null when no context is current. There are no accessors: the object is a plain one.
    static CefRefPtr<CefV8Value> CreateObject(CefRefPtr<CefV8Accessor> accessor);
    // A function whose calls go to handler->Execute with name. Null when no context is current.
    static CefRefPtr<CefV8Value> CreateFunction(const CefString& name, CefRefPtr<CefV8Handler> handler);

    // Takes a reference to value.
    explicit CefV8Value(JSCValue* value);
    CefV8Value(const CefV8Value&) = delete;
    CefV8Value& operator=(const CefV8Value&) = delete;
    ~CefV8Value() override;

    bool IsString() const;
    // The length of a string value in UTF-16 code units, read without converting the text (0
    // for any other value).
    std::size_t GetStringLength() const;
    // The text of a string value, an unpaired surrogate as U+FFFD (empty for any other value).
    CefString GetStringValue() const;
    // Defines the property on an object value; false for a value that is not an object.
    bool SetValue(const CefString& key, CefRefPtr<CefV8Value> value, cef_v8_propertyattribute_t attribute);

    JSCValue* GetJSCValue() const { return m_value.get(); }

private:
    GObjectPtr<JSCValue> m_value;
};
