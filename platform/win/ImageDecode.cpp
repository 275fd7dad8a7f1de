#include "platform/win/ImageDecode.h"

GdkPixbuf* DecodeImage(ResourceBytes bytes, const char* type)
{
    GdkPixbufLoader* loader = type ? gdk_pixbuf_loader_new_with_type(type, nullptr) : gdk_pixbuf_loader_new();
    if (!loader)
        return nullptr;
    GdkPixbuf* pixbuf = nullptr;
    bool written = gdk_pixbuf_loader_write(loader, bytes.data(), bytes.size(), nullptr);
    if (gdk_pixbuf_loader_close(loader, nullptr) && written) {
        pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
        if (pixbuf)
            g_object_ref(pixbuf);
    }
    g_object_unref(loader);
    return pixbuf;
}
