// The entry point WebKit calls in each web process that loads the extension module.
#include <gmodule.h>
#include <webkit2/webkit-web-extension.h>

#include "platform/cef/extension/CefWebProcess.h"

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(WebKitWebExtension* extension,
                                                                               const GVariant* userData)
{
    auto* data = const_cast<GVariant*>(userData);
    bool isText = data && g_variant_is_of_type(data, G_VARIANT_TYPE_STRING);
    CefWebProcess::Start(extension, isText ? g_variant_get_string(data, nullptr) : "");
}
