// The process messages between a page's web process and the browser process, declared once for
// both sides. They travel as WebKit user messages whose parameters are a tuple of the arguments.
// Only the messages below, from a page to the browser process, exist; each carries one string.
#pragma once

#include <string_view>

#include "platform/cef/CefProcessMessage.h"
#include "platform/cef/CefRefPtr.h"

typedef struct _GVariant GVariant;

inline constexpr std::string_view kStartGameMessage = "StartGame";
inline constexpr std::string_view kOpenWebMessage = "OpenWeb";

class CefMessageProtocol {
public:
    // The parameters for a message, or null when its name is not declared or its arguments do
    // not match the declaration. The result is a new floating reference.
    static GVariant* Encode(const CefProcessMessage& message);
    // The message for a received name and parameters, or null when the name is not declared or
    // the parameters are not what it declares.
    static CefRefPtr<CefProcessMessage> Decode(std::string_view name, GVariant* parameters);
};
