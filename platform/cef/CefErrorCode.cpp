#include "platform/cef/CefErrorCode.h"

#include <webkit2/webkit2.h>

namespace {

cef_errorcode_t FromIoError(int code)
{
    switch (code) {
    case G_IO_ERROR_CANCELLED:
        return ERR_ABORTED;
    case G_IO_ERROR_NOT_FOUND:
        return ERR_FILE_NOT_FOUND;
    case G_IO_ERROR_PERMISSION_DENIED:
        return ERR_ACCESS_DENIED;
    case G_IO_ERROR_CONNECTION_CLOSED:
        return ERR_CONNECTION_CLOSED;
    case G_IO_ERROR_CONNECTION_REFUSED:
        return ERR_CONNECTION_REFUSED;
    case G_IO_ERROR_HOST_NOT_FOUND:
        return ERR_NAME_NOT_RESOLVED;
    case G_IO_ERROR_HOST_UNREACHABLE:
    case G_IO_ERROR_NETWORK_UNREACHABLE:
        return ERR_ADDRESS_UNREACHABLE;
    case G_IO_ERROR_TIMED_OUT:
        return ERR_CONNECTION_TIMED_OUT;
    default:
        return ERR_FAILED;
    }
}

cef_errorcode_t FromNetworkError(int code)
{
    switch (code) {
    case WEBKIT_NETWORK_ERROR_CANCELLED:
        return ERR_ABORTED;
    case WEBKIT_NETWORK_ERROR_TRANSPORT:
        return ERR_CONNECTION_FAILED;
    case WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL:
        return ERR_UNKNOWN_URL_SCHEME;
    case WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST:
        return ERR_FILE_NOT_FOUND;
    default:
        return ERR_FAILED;
    }
}

cef_errorcode_t FromPolicyError(int code)
{
    switch (code) {
    // A page that cannot be shown is a download to the framework, and a load that another one
    // replaced is cancelled: both end that load without an error page.
    case WEBKIT_POLICY_ERROR_CANNOT_SHOW_MIME_TYPE:
    case WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE:
        return ERR_ABORTED;
    case WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI:
        return ERR_UNKNOWN_URL_SCHEME;
    case WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT:
        return ERR_UNSAFE_PORT;
    default:
        return ERR_FAILED;
    }
}

}  // namespace

cef_errorcode_t CefErrorCodeOfLoadFailure(const GError* error)
{
    if (!error)
        return ERR_FAILED;
    if (error->domain == G_IO_ERROR)
        return FromIoError(error->code);
    if (error->domain == G_RESOLVER_ERROR)
        return ERR_NAME_NOT_RESOLVED;
    if (error->domain == G_TLS_ERROR)
        return error->code == G_TLS_ERROR_BAD_CERTIFICATE ? ERR_CERT_INVALID : ERR_SSL_PROTOCOL_ERROR;
    if (error->domain == WEBKIT_NETWORK_ERROR)
        return FromNetworkError(error->code);
    if (error->domain == WEBKIT_POLICY_ERROR)
        return FromPolicyError(error->code);
    return ERR_FAILED;
}
