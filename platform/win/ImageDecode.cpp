#include "platform/win/ImageDecode.h"

GObjectPtr<GdkPixbuf> DecodeImage(ResourceBytes bytes, const char* type)
{
    GObjectPtr<GdkPixbufLoader> loader(type ? gdk_pixbuf_loader_new_with_type(type, nullptr) : gdk_pixbuf_loader_new());
    if (!loader)
        return nullptr;
    bool written = gdk_pixbuf_loader_write(loader.get(), bytes.data(), bytes.size(), nullptr);
    if (!gdk_pixbuf_loader_close(loader.get(), nullptr) || !written)
        return nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
    return GObjectPtr<GdkPixbuf>(pixbuf ? GDK_PIXBUF(g_object_ref(pixbuf)) : nullptr);
}
