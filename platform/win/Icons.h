// Icons: the images of an icon group resource, shared for the whole run as LoadIconW's are.
#pragma once

#include <vector>

#include "platform/win/GObjectPtr.h"
#include "platform/win/GdiTypes.h"

typedef struct _GdkPixbuf GdkPixbuf;

// The program's icon group resource with that number; the same handle on every call, never
// destroyed. Null when there is none or it cannot be decoded.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);

// SM_CXICON and SM_CYICON: 32, the size DrawIcon draws at.
int GetSystemMetrics(int index);

// For the window layer: the icon's images, largest first; the icon keeps them.
const std::vector<GObjectPtr<GdkPixbuf>>& IconImages(HICON icon);
