// Addresses and names compiled into the update engine.
#pragma once

#include "platform/afx/CString.h"

// Where "LauncherUpdate.txt" lies; set with the CMake option ZORV_UPDATE_BASE_URL. Tests point
// it at their own server.
extern const wchar_t* kLauncherUpdateBaseUrl;

// The running executable's path with every ".exe" replaced by "_update.exe".
CString LauncherUpdatePath(const CString& modulePath);
