// The one owner of a region or bitmap handle: DeleteObject when its holder goes.
#pragma once

#include <memory>

#include "platform/win/Bitmaps.h"
#include "platform/win/Regions.h"

struct GdiObjectDelete {
    template <typename Handle>
    void operator()(Handle handle) const { DeleteObject(handle); }
};

// GdiObjectPtr<HRGN__>, GdiObjectPtr<HBITMAP__>.
template <typename T>
using GdiObjectPtr = std::unique_ptr<T, GdiObjectDelete>;
