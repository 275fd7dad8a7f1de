// The one owner of an OpenSSL object: a certificate, a stack of them, a store, a store context,
// a key or a BIO is freed when its holder goes.
#pragma once

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

struct OpenSslFree {
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(STACK_OF(X509) * certificates) const { sk_X509_pop_free(certificates, X509_free); }
    void operator()(X509_STORE* store) const { X509_STORE_free(store); }
    void operator()(X509_STORE_CTX* context) const { X509_STORE_CTX_free(context); }
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(BIO* bio) const { BIO_free(bio); }
};

template <typename T>
using OpenSslPtr = std::unique_ptr<T, OpenSslFree>;
