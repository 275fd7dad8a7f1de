// The application object of a page's web process. The application's extension module defines
// it, as its main function would create the object for CefExecuteProcess.
#pragma once

#include "platform/cef/CefApp.h"
#include "platform/cef/CefRefPtr.h"

CefRefPtr<CefApp> CefCreateWebProcessApp();
