// Addresses and names compiled into the update engine.
#pragma once

#include "platform/afx/CString.h"

// Where "LauncherUpdate.txt" lies; set with the CMake option ZORV_UPDATE_BASE_URL.
extern const wchar_t* const kLauncherUpdateBaseUrl;

// Where the launcher check looks for "LauncherUpdate.txt": kLauncherUpdateBaseUrl, or a test's
// own address while a CUpdateBaseUrlScope for it lives.
const wchar_t* LauncherUpdateBaseUrl();

// The running executable's path with every ".exe" replaced by "_update.exe".
CString LauncherUpdatePath(const CString& modulePath);
