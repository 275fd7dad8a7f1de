#include "tests/support/TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "platform/inet/OpenSslPtr.h"

namespace {

using Key = OpenSslPtr<EVP_PKEY>;
using Certificate = OpenSslPtr<X509>;
using Bio = OpenSslPtr<BIO>;

void Check(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(std::string("test certificates: ") + what);
}

Key NewKey()
{
    Key key(EVP_EC_gen("P-256"));
    Check(key != nullptr, "key generation");
    return key;
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    Check(extension != nullptr, "extension");
    bool added = X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    Check(added, "adding an extension");
}

// What a server's certificate says of itself.
struct ServerUse {
    const char* extendedKeyUsage = "serverAuth";
    const char* alternativeNames = "IP:127.0.0.1,DNS:localhost";  // null: none
};

// Signed by issuer with issuerKey; a null issuer makes the certificate sign itself.
Certificate NewCertificate(EVP_PKEY* key, const char* commonName, bool authority, X509* issuer,
                           EVP_PKEY* issuerKey, long serial, ServerUse use = {})
{
    Certificate certificate(X509_new());
    Check(certificate != nullptr, "certificate");
    X509* c = certificate.get();
    X509_set_version(c, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(c), serial);
    X509_gmtime_adj(X509_getm_notBefore(c), -3600);
    X509_gmtime_adj(X509_getm_notAfter(c), 7L * 24 * 3600);
    X509_set_pubkey(c, key);
    X509_NAME* name = X509_get_subject_name(c);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Zorv launcher tests"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509* signer = issuer ? issuer : c;
    X509_set_issuer_name(c, X509_get_subject_name(signer));
    if (authority) {
        AddExtension(c, signer, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(c, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        AddExtension(c, signer, NID_basic_constraints, "critical,CA:FALSE");
        AddExtension(c, signer, NID_ext_key_usage, use.extendedKeyUsage);
        if (use.alternativeNames)
            AddExtension(c, signer, NID_subject_alt_name, use.alternativeNames);
    }
    AddExtension(c, signer, NID_subject_key_identifier, "hash");
    if (issuer)
        AddExtension(c, signer, NID_authority_key_identifier, "keyid:always");
    Check(X509_sign(c, issuerKey ? issuerKey : key, EVP_sha256()) > 0, "signing");
    return certificate;
}

std::string Text(BIO* bio)
{
    char* data = nullptr;
    long length = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<size_t>(length));
}

std::string CertificatePem(X509* certificate)
{
    Bio bio(BIO_new(BIO_s_mem()));
    Check(bio && PEM_write_bio_X509(bio.get(), certificate) == 1, "writing a certificate");
    return Text(bio.get());
}

std::string KeyPem(EVP_PKEY* key)
{
    Bio bio(BIO_new(BIO_s_mem()));
    Check(bio && PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
          "writing a key");
    return Text(bio.get());
}

void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    Check(file.good(), "writing a file");
}

}  // namespace

const TestCertificates& TestCertificates::Instance()
{
    static const TestCertificates certificates;
    return certificates;
}

void TestCertificates::TrustAuthority()
{
    setenv("SSL_CERT_FILE", Instance().AuthorityFile().c_str(), 1);
    unsetenv("CURL_CA_BUNDLE");
}

TestCertificates::TestCertificates()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zorv-ca-XXXXXX").string();
    Check(mkdtemp(pattern.data()) != nullptr, "temp folder");
    m_folder = pattern;
    m_authorityFile = m_folder / "authority.pem";
    m_signedCertificateFile = m_folder / "server.pem";
    m_signedKeyFile = m_folder / "server-key.pem";

    Key authorityKey = NewKey();
    Certificate authority = NewCertificate(authorityKey.get(), "Zorv test authority", true, nullptr, nullptr, 1);
    Key signedKey = NewKey();
    Certificate signedCertificate =
        NewCertificate(signedKey.get(), "127.0.0.1", false, authority.get(), authorityKey.get(), 2);
    Key unsignedKey = NewKey();
    Certificate unsignedCertificate = NewCertificate(unsignedKey.get(), "127.0.0.1", false, nullptr, nullptr, 3);

    struct FlawedCase {
        Flaw flaw;
        Key key;
        ServerUse use;
    } flawed[] = {
        {Flaw::ClientAuthOnly, NewKey(), {"clientAuth"}},
        {Flaw::WeakKey, Key(EVP_RSA_gen(1024)), {}},
        {Flaw::CommonNameOnly, NewKey(), {"serverAuth", nullptr}},
    };
    long serial = 4;
    for (FlawedCase& row : flawed) {
        Check(row.key != nullptr, "key generation");
        Certificate certificate =
            NewCertificate(row.key.get(), "127.0.0.1", false, authority.get(), authorityKey.get(), serial++, row.use);
        m_flawed[static_cast<int>(row.flaw)] = {CertificatePem(certificate.get()), KeyPem(row.key.get())};
    }

    m_signedCertificate = CertificatePem(signedCertificate.get());
    m_signedKey = KeyPem(signedKey.get());
    m_unsignedCertificate = CertificatePem(unsignedCertificate.get());
    m_unsignedKey = KeyPem(unsignedKey.get());
    WriteText(m_authorityFile, CertificatePem(authority.get()));
    WriteText(m_signedCertificateFile, m_signedCertificate);
    WriteText(m_signedKeyFile, m_signedKey);
}

TestCertificates::~TestCertificates()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}
