// The process messages between a page's web process and the browser process. They travel as
// WebKit user messages whose parameters are a tuple of the arguments. The layer carries any named
// message with exactly one string argument; the program declares its names and its dispatcher
// declines the ones it does not know.
#pragma once

#include <string_view>

#include "platform/cef/CefProcessMessage.h"
#include "platform/cef/CefRefPtr.h"

typedef struct _GVariant GVariant;

class CefMessageProtocol {
public:
    // The parameters for a message, or null when it has no name or its arguments are not one
    // string. The result is a new floating reference.
    static GVariant* Encode(const CefProcessMessage& message);
    // The message for a received name and parameters, or null when the name is empty or the
    // parameters are not one string.
    static CefRefPtr<CefProcessMessage> Decode(std::string_view name, GVariant* parameters);
};
