#include "platform/win/TrustBundle.h"

#include <cstdlib>
#include <initializer_list>

const char* TrustBundleFromEnvironment()
{
    for (const char* name : {"CURL_CA_BUNDLE", "SSL_CERT_FILE"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return nullptr;
}
