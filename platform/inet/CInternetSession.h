// CInternetSession: the internet client session over libcurl. Every request is a GET that
// sends the application's name as User-Agent, follows redirects (from https to https only),
// checks certificates against the system's store (or the file named by CURL_CA_BUNDLE, else
// SSL_CERT_FILE) and takes proxies from http_proxy, https_proxy and no_proxy. Made on one thread,
// used from one thread at a time.
// docs/http.md tells how the Windows options map onto libcurl.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "platform/afx/CStdioFile.h"
#include "platform/inet/CHttpFile.h"
#include "platform/inet/CInternetFile.h"
#include "platform/inet/CInternetException.h"
#include "platform/inet/InternetConstants.h"

class CInternetSession {
public:
    // agent null: the executable's file name without its extension. The access type is always
    // the preconfigured one (the environment's proxies); proxy, proxy bypass and flags are not used.
    CInternetSession(LPCWSTR agent = nullptr, DWORD context = 1, DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG,
                     LPCWSTR proxy = nullptr, LPCWSTR proxyBypass = nullptr, DWORD flags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;
    virtual ~CInternetSession();

    // Time-outs in milliseconds (0 or INFINITE: no limit of this layer). The connect retries and
    // back-off have no libcurl equivalent: accepted and without effect. FALSE for other options.
    BOOL SetOption(DWORD option, DWORD value);

    // Read by every wait on the network at least every CurlTransfer::kStopCheckInterval; once it
    // gives true, the wait ends with CInternetException ERROR_INTERNET_OPERATION_CANCELLED.
    void SetStopCondition(std::function<bool()> stopped) { m_stopped = std::move(stopped); }

    // Returns once the final response's status and headers are in: a CHttpFile for http and
    // https, a CInternetFile for any other scheme (the caller deletes each). Throws
    // CInternetException when the address cannot be opened. INTERNET_FLAG_RELOAD asks every
    // cache on the way for a fresh answer.
    CStdioFile* OpenURL(LPCWSTR url, DWORD context = 1, DWORD flags = INTERNET_FLAG_TRANSFER_ASCII);

    // Later OpenURL calls throw CInternetException. Responses already open stay readable.
    void Close();

private:
    std::string m_agent;
    bool m_bOpen = true;
    std::chrono::milliseconds m_connectTimeout{60000};
    std::chrono::milliseconds m_receiveTimeout{30000};
    std::function<bool()> m_stopped;
};
