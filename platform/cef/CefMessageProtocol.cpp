#include "platform/cef/CefMessageProtocol.h"

#include <glib.h>

#include <string>

namespace {

// A tuple of the one string argument.
constexpr const char* kParameterType = "(s)";

}  // namespace

GVariant* CefMessageProtocol::Encode(const CefProcessMessage& message)
{
    CefRefPtr<CefListValue> arguments = message.GetArgumentList();
    if (message.GetName().empty() || arguments->GetSize() != 1 || arguments->GetType(0) != VTYPE_STRING)
        return nullptr;
    // A GVariant string ends at its first NUL; the text is carried as it is up to there.
    const std::string text = arguments->GetString(0).ToString();
    return g_variant_new(kParameterType, text.c_str());
}

CefRefPtr<CefProcessMessage> CefMessageProtocol::Decode(std::string_view name, GVariant* parameters)
{
    if (name.empty() || !parameters || !g_variant_is_of_type(parameters, G_VARIANT_TYPE(kParameterType)))
        return nullptr;
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(std::string(name));
    const char* text = nullptr;
    gsize length = 0;
    GVariant* child = g_variant_get_child_value(parameters, 0);
    text = g_variant_get_string(child, &length);
    CefRefPtr<CefListValue> arguments = message->GetArgumentList();
    arguments->SetSize(1);
    arguments->SetString(0, CefString(std::string_view(text, length)));
    g_variant_unref(child);
    return message;
}
