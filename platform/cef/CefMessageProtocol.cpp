#include "platform/cef/CefMessageProtocol.h"

#include <glib.h>

#include <string>

namespace {

struct DeclaredMessage {
    std::string_view name;
    const char* parameterType;  // a GVariant tuple of the arguments
};

constexpr DeclaredMessage kDeclaredMessages[] = {
    {kStartGameMessage, "(s)"},
    {kOpenWebMessage, "(s)"},
};

const DeclaredMessage* FindDeclared(std::string_view name)
{
    for (const DeclaredMessage& declared : kDeclaredMessages) {
        if (declared.name == name)
            return &declared;
    }
    return nullptr;
}

}  // namespace

GVariant* CefMessageProtocol::Encode(const CefProcessMessage& message)
{
    const DeclaredMessage* declared = FindDeclared(message.GetName().ToString());
    if (!declared)
        return nullptr;
    CefRefPtr<CefListValue> arguments = message.GetArgumentList();
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE_TUPLE);
    for (std::size_t i = 0; i < arguments->GetSize(); ++i) {
        if (arguments->GetType(i) != VTYPE_STRING) {
            g_variant_builder_clear(&builder);
            return nullptr;
        }
        std::string text = arguments->GetString(i).ToString();
        // A GVariant string ends at its first NUL; the text is carried as it is up to there.
        g_variant_builder_add(&builder, "s", text.c_str());
    }
    GVariant* parameters = g_variant_builder_end(&builder);
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE(declared->parameterType))) {
        g_variant_unref(g_variant_ref_sink(parameters));
        return nullptr;
    }
    return parameters;
}

CefRefPtr<CefProcessMessage> CefMessageProtocol::Decode(std::string_view name, GVariant* parameters)
{
    const DeclaredMessage* declared = FindDeclared(name);
    if (!declared || !parameters || !g_variant_is_of_type(parameters, G_VARIANT_TYPE(declared->parameterType)))
        return nullptr;
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(std::string(name));
    CefRefPtr<CefListValue> arguments = message->GetArgumentList();
    // Every declared argument is a string.
    std::size_t count = g_variant_n_children(parameters);
    arguments->SetSize(count);
    for (std::size_t i = 0; i < count; ++i) {
        GVariant* child = g_variant_get_child_value(parameters, i);
        gsize length = 0;
        const char* text = g_variant_get_string(child, &length);
        arguments->SetString(i, CefString(std::string_view(text, length)));
        g_variant_unref(child);
    }
    return message;
}
