// CefV8Handler: serves the script functions made with CefV8Value::CreateFunction.
#pragma once

#include <vector>

#include "platform/cef/CefBase.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefString.h"

class CefV8Value;
using CefV8ValueList = std::vector<CefRefPtr<CefV8Value>>;

class CefV8Handler : public virtual CefBase {
public:
    // name: the name the function was created with. True when the call is handled: the script
    // then gets retval, or an exception with the text of exception when that is not empty.
    // False gives the script undefined.
    virtual bool Execute(const CefString& name, CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments,
                         CefRefPtr<CefV8Value>& retval, CefString& exception) = 0;
};
