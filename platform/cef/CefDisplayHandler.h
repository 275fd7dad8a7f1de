// CefDisplayHandler: notifications about what a browser shows. The layer sends none; the
// launcher keeps every default.
#pragma once

#include "platform/cef/CefBase.h"

class CefDisplayHandler : public virtual CefBase {};
