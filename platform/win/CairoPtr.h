// The one owner of a cairo object: a context, a surface, a pattern or a region is destroyed
// when its holder goes.
#pragma once

#include <cairo.h>

#include <memory>

struct CairoDestroy {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
    void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
    void operator()(cairo_region_t* region) const { cairo_region_destroy(region); }
};

template <typename T>
using CairoPtr = std::unique_ptr<T, CairoDestroy>;
