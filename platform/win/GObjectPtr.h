// The one owner of a GObject reference: it gives the reference back when it goes.
#pragma once

#include <glib-object.h>

#include <memory>

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

// Takes a reference the caller owns (from a constructor or a "new"/"get_..._ref" call).
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;
