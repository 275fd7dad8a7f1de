// CefListValue: the argument list of a process message. An entry is null until a value is set.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/cef/CefBase.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefString.h"

enum CefValueType {
    VTYPE_INVALID = 0,
    VTYPE_NULL,
    VTYPE_STRING,
};

class CefListValue : public CefRefCounted<CefBase> {
public:
    // New entries are null; entries beyond the new size are dropped.
    bool SetSize(std::size_t size);
    std::size_t GetSize() const { return m_entries.size(); }
    // VTYPE_INVALID for an index beyond the end.
    CefValueType GetType(std::size_t index) const;
    // The list grows to take an index beyond its end.
    bool SetString(std::size_t index, const CefString& value);
    // Empty for an index beyond the end or an entry that is not a string.
    CefString GetString(std::size_t index) const;

private:
    std::vector<std::optional<CefString>> m_entries;
};
