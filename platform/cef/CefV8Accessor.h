// CefV8Accessor: property accessors of script objects. The layer has none; objects are plain.
#pragma once

#include "platform/cef/CefBase.h"

class CefV8Accessor : public virtual CefBase {};
