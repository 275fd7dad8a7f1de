#include "platform/cef/CefListValue.h"

bool CefListValue::SetSize(std::size_t size)
{
    m_entries.resize(size);
    return true;
}

CefValueType CefListValue::GetType(std::size_t index) const
{
    if (index >= m_entries.size())
        return VTYPE_INVALID;
    return m_entries[index] ? VTYPE_STRING : VTYPE_NULL;
}

bool CefListValue::SetString(std::size_t index, const CefString& value)
{
    if (index >= m_entries.size())
        m_entries.resize(index + 1);
    m_entries[index] = value;
    return true;
}

CefString CefListValue::GetString(std::size_t index) const
{
    if (index >= m_entries.size() || !m_entries[index])
        return CefString();
    return *m_entries[index];
}
