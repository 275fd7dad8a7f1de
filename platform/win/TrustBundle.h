// The certificate file the launcher trusts besides the system's store, chosen as the curl tool
// chooses it: CURL_CA_BUNDLE, then SSL_CERT_FILE. The downloads and the embedded browser share it.
#pragma once

// The named file, or null when neither variable is set (or both are empty).
const char* TrustBundleFromEnvironment();
