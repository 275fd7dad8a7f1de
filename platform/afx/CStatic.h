// CStatic: a static control; it adds nothing to CWnd that the launcher uses.
#pragma once

#include "platform/afx/CWnd.h"

class CStatic : public CWnd {};
