#include "update/UpdateAddresses.h"

#define ZORV_WIDEN_TEXT(text) L##text
#define ZORV_WIDEN(text) ZORV_WIDEN_TEXT(text)

const wchar_t* const kLauncherUpdateBaseUrl = ZORV_WIDEN(ZORV_UPDATE_BASE_URL);

CString LauncherUpdatePath(const CString& modulePath)
{
    CString path = modulePath;
    path.Replace(L".exe", L"_update.exe");
    return path;
}
