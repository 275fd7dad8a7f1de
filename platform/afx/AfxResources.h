// The module whose resources the class library loads: the executable itself.
#pragma once

#include "platform/win/FileSystem.h"

inline HINSTANCE AfxGetResourceHandle()
{
    return GetModuleHandleW(nullptr);
}
