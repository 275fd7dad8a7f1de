#include "platform/inet/CurlTransfer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <openssl/ssl.h>

#include "platform/inet/CInternetException.h"
#include "platform/inet/ServerTrust.h"
#include "platform/win/Text.h"
#include "platform/win/WebScheme.h"

namespace {

using Clock = std::chrono::steady_clock;

void InitialiseCurlOnce()
{
    // Thread-safe by the rules of local statics; libcurl is never shut down again.
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    (void)initialised;
}

// The kind of failure, as WinINet would number it.
DWORD InternetErrorOf(CURLcode code)
{
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return ERROR_INTERNET_TIMEOUT;
    case CURLE_URL_MALFORMAT:
        return ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return ERROR_INTERNET_CONNECTION_RESET;
    // The session lets only http and https through, so curl's "unsupported protocol" comes
    // from the answer: an HTTP/0.9 reply, a status that is no number, a redirect elsewhere.
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_TOO_MANY_REDIRECTS:
        return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        return ERROR_INTERNET_INVALID_CA;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_ABORTED_BY_CALLBACK:
        return ERROR_INTERNET_OPERATION_CANCELLED;
    default:
        // Newer libcurl releases add codes; they are internal failures until named here.
        return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

// The host of address as ServerTrust takes it: an IPv6 address without its brackets.
std::string HostOf(const char* address)
{
    CURLU* url = curl_url();
    char* host = nullptr;
    std::string result;
    if (url && address && curl_url_set(url, CURLUPART_URL, address, 0) == CURLUE_OK &&
        curl_url_get(url, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
        result = host;
        if (result.size() > 2 && result.front() == '[' && result.back() == ']')
            result = result.substr(1, result.size() - 2);
    }
    curl_free(host);
    curl_url_cleanup(url);
    return result;
}

}  // namespace

CurlTransfer::CurlTransfer(const Request& request)
    : m_receiveTimeout(request.receiveTimeout), m_stopped(request.stopped)
{
    InitialiseCurlOnce();
    m_multi.reset(curl_multi_init());
    m_easy.reset(curl_easy_init());
    if (!m_multi || !m_easy)
        throw CInternetException(ERROR_INTERNET_INTERNAL_ERROR, L"The transfer library could not be started.");
    for (const std::string& header : request.headers) {
        curl_slist* list = curl_slist_append(m_headerList.get(), header.c_str());
        if (!list)
            Fail(CURLE_OUT_OF_MEMORY);
        m_headerList.release();
        m_headerList.reset(list);
    }

    CURL* easy = m_easy.get();
    auto set = [this](CURLcode code) {
        if (code != CURLE_OK)
            Fail(code);
    };
    set(curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_error));
    set(curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str()));
    set(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
    set(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"));
    set(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L));
    // Never from https down to plain http.
    bool secure = WebSchemeOf(request.url) == WebScheme::Https;
    set(curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https"));
    set(curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L));
    // A proxy's CONNECT answer is not the response.
    set(curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L));
    if (!request.userAgent.empty())
        set(curl_easy_setopt(easy, CURLOPT_USERAGENT, request.userAgent.c_str()));
    if (m_headerList)
        set(curl_easy_setopt(easy, CURLOPT_HTTPHEADER, m_headerList.get()));
    if (request.connectTimeout.count() > 0)
        set(curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeout.count())));
    // Every connection's certificate is ServerTrust's to judge, as the page's is.
    set(curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &CurlTransfer::OnTlsContext));
    set(curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::OnHeader));
    set(curl_easy_setopt(easy, CURLOPT_HEADERDATA, this));
    set(curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::OnBody));
    set(curl_easy_setopt(easy, CURLOPT_WRITEDATA, this));
    set(curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &CurlTransfer::OnRequestReady));
    set(curl_easy_setopt(easy, CURLOPT_PREREQDATA, this));

    if (curl_multi_add_handle(m_multi.get(), easy) != CURLM_OK)
        Fail(CURLE_OUT_OF_MEMORY);
    m_added = true;
}

CurlTransfer::~CurlTransfer()
{
    if (m_added)
        curl_multi_remove_handle(m_multi.get(), m_easy.get());
}

void CurlTransfer::WaitForHeaders()
{
    Pump([this] { return m_headersDone; });
    if (!m_headersDone && m_result != CURLE_OK)
        Fail(m_result);
    m_headersDone = true;
}

int CurlTransfer::Status() const
{
    long status = 0;
    curl_easy_getinfo(m_easy.get(), CURLINFO_RESPONSE_CODE, &status);
    return static_cast<int>(status);
}

std::optional<std::string> CurlTransfer::Header(std::string_view name) const
{
    // curl keeps the headers of each response of the transfer; -1 is the last one. Its values are
    // trimmed and folded lines joined; CURLH_HEADER leaves out trailers and interim responses.
    curl_header* header = nullptr;
    if (curl_easy_header(m_easy.get(), std::string(name).c_str(), 0, CURLH_HEADER, -1, &header) != CURLHE_OK)
        return std::nullopt;
    return std::string(header->value);
}

std::size_t CurlTransfer::Read(void* buffer, std::size_t count)
{
    if (count == 0 || !FillOrEnd())
        return 0;
    std::size_t n = std::min(count, m_buffer.size() - m_bufferStart);
    std::memcpy(buffer, m_buffer.data() + m_bufferStart, n);
    m_bufferStart += n;
    return n;
}

bool CurlTransfer::ReadLine(std::string& line, std::size_t maxLength)
{
    line.clear();
    bool any = false;
    while (FillOrEnd()) {
        any = true;
        const char* begin = m_buffer.data() + m_bufferStart;
        std::size_t available = m_buffer.size() - m_bufferStart;
        if (line.size() + available > maxLength) {
            std::size_t taken = maxLength + 1 - line.size();
            const void* end = std::memchr(begin, '\n', taken);
            if (!end) {
                line.append(begin, taken);
                m_bufferStart += taken;
                return true;
            }
        }
        const void* end = std::memchr(begin, '\n', available);
        if (end) {
            std::size_t length = static_cast<std::size_t>(static_cast<const char*>(end) - begin);
            line.append(begin, length);
            m_bufferStart += length + 1;
            return true;
        }
        line.append(begin, available);
        m_bufferStart += available;
    }
    return any;
}

bool CurlTransfer::FillOrEnd()
{
    if (m_bufferStart == m_buffer.size()) {
        m_buffer.clear();
        m_bufferStart = 0;
        if (!m_ended) {
            Resume();
            Pump([this] { return !m_buffer.empty(); });
        }
    }
    if (m_bufferStart < m_buffer.size())
        return true;
    if (m_result != CURLE_OK)
        Fail(m_result);
    return false;
}

void CurlTransfer::Resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    // May hand over the held-back bytes at once, through OnBody.
    CURLcode code = curl_easy_pause(m_easy.get(), CURLPAUSE_CONT);
    if (code != CURLE_OK)
        Fail(code);
}

template <typename Ready>
void CurlTransfer::Pump(Ready ready)
{
    Clock::time_point lastActivity = Clock::now();
    ULONGLONG seen = m_activity;
    for (;;) {
        if (m_stopped && m_stopped())
            throw CInternetException(ERROR_INTERNET_OPERATION_CANCELLED, L"The operation was cancelled.");
        int running = 0;
        CURLMcode multiCode = curl_multi_perform(m_multi.get(), &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(m_multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE) {
                m_ended = true;
                m_result = message->data.result;
            }
        }
        if (ready() || m_ended)
            return;

        Clock::time_point now = Clock::now();
        if (m_activity != seen) {
            seen = m_activity;
            lastActivity = now;
        }
        auto waitMilliseconds = static_cast<int>(kStopCheckInterval.count());
        if (m_requestSent && m_receiveTimeout.count() > 0) {
            auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastActivity);
            if (idle >= m_receiveTimeout) {
                std::snprintf(m_error, sizeof m_error, "Operation timed out: no data received for %lld milliseconds",
                              static_cast<long long>(idle.count()));
                Fail(CURLE_OPERATION_TIMEDOUT);
            }
            waitMilliseconds = static_cast<int>(std::min<long long>(waitMilliseconds, (m_receiveTimeout - idle).count()));
        }
        if (multiCode == CURLM_OK)
            multiCode = curl_multi_poll(m_multi.get(), nullptr, 0, waitMilliseconds, nullptr);
        if (multiCode != CURLM_OK) {
            std::snprintf(m_error, sizeof m_error, "%s", curl_multi_strerror(multiCode));
            Fail(multiCode == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_FAILED_INIT);
        }
    }
}

void CurlTransfer::Fail(CURLcode code)
{
    std::string_view text = m_error[0] ? std::string_view(m_error) : std::string_view(curl_easy_strerror(code));
    throw CInternetException(InternetErrorOf(code), CString(Utf8ToWide(Trimmed(text))));
}

// curl has parsed each header line before it calls here. The callback stays for what curl does
// not tell: the header bytes that keep the receive clock from running out, and the blank line that
// ends the final response's headers, so that the reader gets them before the first body byte.
std::size_t CurlTransfer::OnHeader(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* transfer = static_cast<CurlTransfer*>(self);
    std::size_t bytes = size * count;
    transfer->m_activity += bytes;
    std::string_view line(data, bytes);
    // Trailers after a chunked body come here too.
    if (transfer->m_headersDone || (line != "\r\n" && line != "\n"))
        return bytes;
    int status = transfer->Status();
    bool interim = status >= 100 && status < 200;
    std::optional<std::string> location = transfer->Header("Location");
    bool followed = status >= 300 && status < 400 && location && !location->empty();
    if (followed)
        transfer->m_requestSent = false;  // the connect time-out covers the next connection
    transfer->m_headersDone = !interim && !followed;
    return bytes;
}

std::size_t CurlTransfer::OnBody(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* transfer = static_cast<CurlTransfer*>(self);
    std::size_t bytes = size * count;
    // The body of a response that is not the final one is not the reader's.
    if (!transfer->m_headersDone)
        return bytes;
    std::size_t waiting = transfer->m_buffer.size() - transfer->m_bufferStart;
    if (waiting > 0 && waiting + bytes > kBufferLimit) {
        transfer->m_paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (transfer->m_bufferStart > 0) {
        transfer->m_buffer.erase(0, transfer->m_bufferStart);
        transfer->m_bufferStart = 0;
    }
    transfer->m_buffer.append(data, bytes);
    transfer->m_activity += bytes;
    return bytes;
}

CURLcode CurlTransfer::OnTlsContext(CURL* easy, void* tlsContext, void*)
{
    // In place of OpenSSL's chain check; curl's own host check after the handshake only adds to it.
    SSL_CTX_set_cert_verify_callback(static_cast<SSL_CTX*>(tlsContext), &CurlTransfer::OnVerifyServer, easy);
    return CURLE_OK;
}

int CurlTransfer::OnVerifyServer(X509_STORE_CTX* chain, void* easy)
{
    // A connection is made for the address being requested, the target of a redirect included.
    char* address = nullptr;
    curl_easy_getinfo(static_cast<CURL*>(easy), CURLINFO_EFFECTIVE_URL, &address);
    int verdict = ServerTrust::Verify(X509_STORE_CTX_get0_cert(chain), X509_STORE_CTX_get0_untrusted(chain),
                                      HostOf(address));
    // curl's failure text names this error.
    X509_STORE_CTX_set_error(chain, verdict);
    return verdict == X509_V_OK;
}

int CurlTransfer::OnRequestReady(void* self, char*, char*, int, int)
{
    auto* transfer = static_cast<CurlTransfer*>(self);
    transfer->m_requestSent = true;
    ++transfer->m_activity;
    return CURL_PREREQFUNC_OK;
}
