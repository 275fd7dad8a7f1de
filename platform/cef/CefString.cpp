#include "platform/cef/CefString.h"

#include "platform/win/Text.h"

CefString::CefString(std::string_view utf8) : m_text(Utf8ToWide(utf8)) {}

std::string CefString::ToString() const
{
    return WideToUtf8(m_text);
}
