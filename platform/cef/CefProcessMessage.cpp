#include "platform/cef/CefProcessMessage.h"

CefRefPtr<CefProcessMessage> CefProcessMessage::Create(const CefString& name)
{
    return new CefProcessMessage(name);
}
