// The module whose resources the class library loads: the executable itself (res/ is linked in).
#pragma once

#include "platform/win/FileSystem.h"

inline HINSTANCE AfxGetResourceHandle()
{
    return GetModuleHandleW(nullptr);
}
