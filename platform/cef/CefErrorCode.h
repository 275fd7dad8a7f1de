// The framework's network error codes that the layer reports for failed loads.
#pragma once

typedef struct _GError GError;

enum cef_errorcode_t {
    ERR_FAILED = -2,
    ERR_ABORTED = -3,
    ERR_FILE_NOT_FOUND = -6,
    ERR_ACCESS_DENIED = -10,
    ERR_CONNECTION_CLOSED = -100,
    ERR_CONNECTION_REFUSED = -102,
    ERR_CONNECTION_FAILED = -104,
    ERR_NAME_NOT_RESOLVED = -105,
    ERR_SSL_PROTOCOL_ERROR = -107,
    ERR_ADDRESS_UNREACHABLE = -109,
    ERR_CONNECTION_TIMED_OUT = -118,
    ERR_CERT_INVALID = -207,
    ERR_UNKNOWN_URL_SCHEME = -302,
    ERR_UNSAFE_PORT = -312,
};

// The code for a WebKit load failure; ERR_FAILED for one that has no closer code.
cef_errorcode_t CefErrorCodeOfLoadFailure(const GError* error);
