// Certificates made at run time for HTTPS tests: a certificate authority, a server certificate
// for 127.0.0.1 and localhost signed by it, a self-signed one that no authority signed, and
// signed ones that are not fit for a server.
#pragma once

#include <filesystem>
#include <string>
#include <utility>

class TestCertificates {
public:
    // Made once per process; the authority's file lives in a temp folder removed at exit.
    static const TestCertificates& Instance();

    // Points SSL_CERT_FILE at the authority and removes CURL_CA_BUNDLE, which would win over it.
    static void TrustAuthority();

    const std::filesystem::path& AuthorityFile() const { return m_authorityFile; }
    // PEM texts, for servers and for programs started by a test (the demo server takes files).
    const std::string& SignedCertificate() const { return m_signedCertificate; }
    const std::string& SignedKey() const { return m_signedKey; }
    const std::string& UnsignedCertificate() const { return m_unsignedCertificate; }
    const std::string& UnsignedKey() const { return m_unsignedKey; }

    // Signed by the authority for 127.0.0.1, each with one flaw: only the clientAuth key usage; a
    // 1024-bit RSA key; the host in the common name only (no subjectAltName).
    enum class Flaw { ClientAuthOnly, WeakKey, CommonNameOnly };
    static constexpr int kFlaws = 3;
    const std::string& FlawedCertificate(Flaw flaw) const { return m_flawed[static_cast<int>(flaw)].first; }
    const std::string& FlawedKey(Flaw flaw) const { return m_flawed[static_cast<int>(flaw)].second; }
    // The signed pair also as files beside the authority.
    const std::filesystem::path& SignedCertificateFile() const { return m_signedCertificateFile; }
    const std::filesystem::path& SignedKeyFile() const { return m_signedKeyFile; }

    TestCertificates(const TestCertificates&) = delete;
    TestCertificates& operator=(const TestCertificates&) = delete;
    ~TestCertificates();

private:
    TestCertificates();

    std::filesystem::path m_folder;
    std::filesystem::path m_authorityFile;
    std::filesystem::path m_signedCertificateFile;
    std::filesystem::path m_signedKeyFile;
    std::string m_signedCertificate;
    std::string m_signedKey;
    std::string m_unsignedCertificate;
    std::string m_unsignedKey;
    std::pair<std::string, std::string> m_flawed[kFlaws];  // certificate and key
};
