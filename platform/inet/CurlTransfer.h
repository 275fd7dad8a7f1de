// One HTTP(S) GET over libcurl, pulled by its reader: a multi handle is driven only while the
// reader waits, and at most kBufferLimit body bytes wait in memory (the transfer is paused
// while the reader is behind). A request that starts as https is redirected to https only.
// Each server's certificate is judged by ServerTrust.
// Failures are thrown as CInternetException; so is a wait that the stop condition ends.
#pragma once

#include <curl/curl.h>
#include <openssl/x509.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinTypes.h"

class CurlTransfer {
public:
    static constexpr std::size_t kBufferLimit = 256 * 1024;

    struct Request {
        std::string url;
        std::string userAgent;
        std::vector<std::string> headers;  // "Name: value"
        std::chrono::milliseconds connectTimeout{0};  // 0: curl's default
        std::chrono::milliseconds receiveTimeout{0};  // 0: none
        // Read from the waiting thread at least every kStopCheckInterval; true ends the wait
        // with ERROR_INTERNET_OPERATION_CANCELLED. Empty: never.
        std::function<bool()> stopped;
    };

    static constexpr std::chrono::milliseconds kStopCheckInterval{250};

    explicit CurlTransfer(const Request& request);
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;
    ~CurlTransfer();

    // Returns once the final response's status and headers are in (redirects followed).
    void WaitForHeaders();
    int Status() const;
    // The first header of that name in the final response (case-insensitive), value trimmed.
    std::optional<std::string> Header(std::string_view name) const;

    // Up to count body bytes; 0 at the end of the body.
    std::size_t Read(void* buffer, std::size_t count);
    // The bytes up to the next LF, without it; false when no byte is left. A line longer than
    // maxLength gives its first maxLength + 1 bytes and the rest stays unread.
    bool ReadLine(std::string& line, std::size_t maxLength);

private:
    struct EasyDeleter {
        void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
    };
    struct MultiDeleter {
        void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
    };
    struct ListDeleter {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
    static CURLcode OnTlsContext(CURL* easy, void* tlsContext, void* unused);
    static int OnVerifyServer(X509_STORE_CTX* chain, void* easy);
    static int OnRequestReady(void* self, char* primaryIp, char* localIp, int primaryPort, int localPort);

    // Drives the transfer until ready() holds or the transfer has ended.
    template <typename Ready>
    void Pump(Ready ready);
    // Bytes are waiting, or the transfer has ended (thrown when it failed).
    bool FillOrEnd();
    void Resume();
    [[noreturn]] void Fail(CURLcode code);

    std::chrono::milliseconds m_receiveTimeout;
    std::function<bool()> m_stopped;
    std::unique_ptr<curl_slist, ListDeleter> m_headerList;
    std::unique_ptr<CURLM, MultiDeleter> m_multi;
    std::unique_ptr<CURL, EasyDeleter> m_easy;
    char m_error[CURL_ERROR_SIZE] = {};

    bool m_added = false;
    bool m_requestSent = false;  // the receive clock runs from here
    bool m_headersDone = false;
    bool m_ended = false;
    CURLcode m_result = CURLE_OK;
    bool m_paused = false;
    ULONGLONG m_activity = 0;  // bytes and events seen, for the receive clock

    std::string m_buffer;
    std::size_t m_bufferStart = 0;
};
