// Resources are named by number: MAKEINTRESOURCEW turns the number into a name. Names given as
// text are not used by the launcher and find nothing here.
#pragma once

#include <cstdint>

#include "platform/win/WinTypes.h"

inline LPCWSTR MAKEINTRESOURCEW(WORD id)
{
    return reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(id));
}

// The number in a resource name; -1 for a name given as text.
inline int ResourceNumber(LPCWSTR name)
{
    const auto value = reinterpret_cast<std::uintptr_t>(name);
    return value >> 16 ? -1 : static_cast<int>(value);
}
