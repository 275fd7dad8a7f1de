// Decoding a whole image file held in memory, as the bitmap and icon resources need.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "platform/win/EmbeddedResources.h"
#include "platform/win/GObjectPtr.h"

// The picture of `bytes`, in the format `type` names ("ico") or, for null, the one its content
// shows; null when the bytes do not decode.
GObjectPtr<GdkPixbuf> DecodeImage(ResourceBytes bytes, const char* type = nullptr);
