// CefProcessMessage: a named message with an argument list, from a page's web process to the
// browser process (see CefMessageProtocol.h for the messages that may travel).
#pragma once

#include "platform/cef/CefBase.h"
#include "platform/cef/CefListValue.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefString.h"

enum CefProcessId {
    PID_BROWSER,
    PID_RENDERER,
};

class CefProcessMessage : public CefRefCounted<CefBase> {
public:
    // A message with an empty argument list.
    static CefRefPtr<CefProcessMessage> Create(const CefString& name);

    CefString GetName() const { return m_name; }
    CefRefPtr<CefListValue> GetArgumentList() const { return m_arguments; }

private:
    explicit CefProcessMessage(CefString name) : m_name(std::move(name)) {}

    CefString m_name;
    CefRefPtr<CefListValue> m_arguments = new CefListValue;
};
