#include "platform/inet/ServerTrust.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <memory>

#include "platform/inet/OpenSslPtr.h"
#include "platform/win/TrustBundle.h"

namespace {

// The level a TLS client of this system applies (Debian's configuration: 2, so an RSA key needs
// 2048 bits).
int SystemSecurityLevel()
{
    static const int level = [] {
        SSL_CTX* context = SSL_CTX_new(TLS_client_method());
        int found = context ? SSL_CTX_get_security_level(context) : 2;
        SSL_CTX_free(context);
        return found;
    }();
    return level;
}

// The system's authorities (OpenSSL's hashed folder, read only for the issuers a chain asks for)
// and the trust bundle's. A bundle that cannot be read adds nothing.
OpenSslPtr<X509_STORE> NewStore()
{
    OpenSslPtr<X509_STORE> store(X509_STORE_new());
    if (!store)
        return nullptr;
    X509_LOOKUP* folder = X509_STORE_add_lookup(store.get(), X509_LOOKUP_hash_dir());
    if (!folder || X509_LOOKUP_add_dir(folder, X509_get_default_cert_dir(), X509_FILETYPE_PEM) != 1)
        return nullptr;
    if (const char* bundle = TrustBundleFromEnvironment()) {
        // Its failure would otherwise stay queued and be taken for the connection's.
        ERR_set_mark();
        X509_STORE_load_file(store.get(), bundle);
        ERR_pop_to_mark();
    }
    return store;
}

}  // namespace

int ServerTrust::Verify(X509* certificate, STACK_OF(X509) * others, const std::string& host)
{
    if (!certificate || host.empty())
        return X509_V_ERR_UNSPECIFIED;
    OpenSslPtr<X509_STORE> store = NewStore();
    OpenSslPtr<X509_STORE_CTX> context(X509_STORE_CTX_new());
    if (!store || !context || X509_STORE_CTX_init(context.get(), store.get(), certificate, others) != 1)
        return X509_V_ERR_OUT_OF_MEM;
    // The rules OpenSSL's own TLS client applies to a server: purpose, trust and depth.
    X509_STORE_CTX_set_default(context.get(), "ssl_server");
    X509_VERIFY_PARAM* parameters = X509_STORE_CTX_get0_param(context.get());
    X509_VERIFY_PARAM_set_auth_level(parameters, SystemSecurityLevel());
    X509_VERIFY_PARAM_set_hostflags(parameters, X509_CHECK_FLAG_NEVER_CHECK_SUBJECT);
    // An address is matched against the IP names only, a name against the DNS names.
    if (X509_VERIFY_PARAM_set1_ip_asc(parameters, host.c_str()) != 1 &&
        X509_VERIFY_PARAM_set1_host(parameters, host.c_str(), host.size()) != 1)
        return X509_V_ERR_HOSTNAME_MISMATCH;
    if (X509_verify_cert(context.get()) == 1)
        return X509_V_OK;
    int error = X509_STORE_CTX_get_error(context.get());
    return error == X509_V_OK ? X509_V_ERR_UNSPECIFIED : error;
}

int ServerTrust::VerifyPem(std::string_view chain, const std::string& host)
{
    OpenSslPtr<BIO> bio(BIO_new_mem_buf(chain.data(), static_cast<int>(chain.size())));
    OpenSslPtr<STACK_OF(X509)> others(sk_X509_new_null());
    if (!bio || !others)
        return X509_V_ERR_OUT_OF_MEM;
    OpenSslPtr<X509> certificate(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    while (OpenSslPtr<X509> other{PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)}) {
        if (!sk_X509_push(others.get(), other.get()))
            return X509_V_ERR_OUT_OF_MEM;
        other.release();  // the stack holds it now
    }
    return Verify(certificate.get(), others.get(), host);
}
