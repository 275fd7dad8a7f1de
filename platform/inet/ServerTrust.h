// ServerTrust: the launcher's one decision on a TLS server's certificate, made alike for the
// downloads (CurlTransfer) and the embedded browser's page (CefPageTrust). The chain must lead to
// an authority of the system's store or of the trust bundle (TrustBundle.h), every certificate
// must be meant for a TLS server (no clientAuth-only one), its keys must meet the security level
// of the system's TLS configuration, and the host must be named by a subjectAltName (DNS or IP):
// the common name is never read.
#pragma once

#include <openssl/x509.h>

#include <string>
#include <string_view>

class ServerTrust {
public:
    // X509_V_OK when certificate, with the other certificates the server sent (may be null), is
    // trusted as host (a name or an IP address, without brackets); else the error of the first
    // rule it breaks.
    static int Verify(X509* certificate, STACK_OF(X509)* others, const std::string& host);
    // The same for PEM text: the server's certificate first, then the others.
    static int VerifyPem(std::string_view chain, const std::string& host);
};
