#include "tests/support/TestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/pem.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/inet/OpenSslPtr.h"
#include "tests/support/ServerConnection.h"
#include "tests/support/TestCertificates.h"

namespace {

constexpr std::size_t kMaxHead = 64 * 1024;
constexpr std::size_t kMaxRequestBody = 16 * 1024 * 1024;
constexpr std::size_t kMaxRequestsPerConnection = 10000;
constexpr std::size_t kPiece = 64 * 1024;

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 416: return "Range Not Satisfiable";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool HasHeader(const Reply& reply, std::string_view name)
{
    return std::any_of(reply.headers.begin(), reply.headers.end(),
                       [&](const auto& header) { return SameName(header.first, name); });
}

bool WithoutBody(int status)
{
    return (status >= 100 && status < 200) || status == 204 || status == 304;
}

// The pattern repeats every 251 bytes, so a piece of it is a slice of one long enough block.
const std::string& PatternBlock()
{
    static const std::string block = [] {
        std::string bytes(kPiece + 251, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(Reply::PatternByte(i));
        return bytes;
    }();
    return block;
}

void AppendBody(const Reply& reply, std::uint64_t offset, std::size_t count, std::string& out)
{
    if (reply.filled) {
        out.append(count, reply.fillByte);
    } else if (reply.repeated) {
        for (std::size_t at = static_cast<std::size_t>(offset % reply.body.size()); count > 0; at = 0) {
            std::size_t n = std::min(count, reply.body.size() - at);
            out.append(reply.body, at, n);
            count -= n;
        }
    } else if (reply.generated) {
        out.append(PatternBlock(), static_cast<std::size_t>(offset % 251), count);
    } else {
        out.append(reply.body, static_cast<std::size_t>(offset), count);
    }
}

SSL_CTX* NewTlsContext(const std::string& certificatePem, const std::string& keyPem)
{
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (!context)
        throw std::runtime_error("test server: no TLS context");
    // The server serves whatever key it is given; judging it is the client's business.
    SSL_CTX_set_security_level(context, 0);
    OpenSslPtr<BIO> certificateBio(BIO_new_mem_buf(certificatePem.data(), static_cast<int>(certificatePem.size())));
    OpenSslPtr<BIO> keyBio(BIO_new_mem_buf(keyPem.data(), static_cast<int>(keyPem.size())));
    OpenSslPtr<X509> certificate(PEM_read_bio_X509(certificateBio.get(), nullptr, nullptr, nullptr));
    OpenSslPtr<EVP_PKEY> key(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
    bool ok = certificate && key && SSL_CTX_use_certificate(context, certificate.get()) == 1 &&
              SSL_CTX_use_PrivateKey(context, key.get()) == 1;
    if (!ok) {
        SSL_CTX_free(context);
        throw std::runtime_error("test server: the certificate cannot be used");
    }
    return context;
}

}  // namespace

TestServer::TestServer(Scheme scheme) : TestServer(scheme, 0) {}

TestServer::TestServer(Scheme scheme, int port) : m_scheme(scheme)
{
    // A client that goes away mid-answer must not end the test process.
    std::signal(SIGPIPE, SIG_IGN);
    // Made only for a server that needs them.
    auto certificates = [] () -> const TestCertificates& { return TestCertificates::Instance(); };
    auto flawed = [&](TestCertificates::Flaw flaw) {
        return NewTlsContext(certificates().FlawedCertificate(flaw), certificates().FlawedKey(flaw));
    };
    switch (scheme) {
    case Http:
        break;
    case Https:
        m_tls = NewTlsContext(certificates().SignedCertificate(), certificates().SignedKey());
        break;
    case HttpsUntrusted:
        m_tls = NewTlsContext(certificates().UnsignedCertificate(), certificates().UnsignedKey());
        break;
    case HttpsClientAuthOnly:
        m_tls = flawed(TestCertificates::Flaw::ClientAuthOnly);
        break;
    case HttpsWeakKey:
        m_tls = flawed(TestCertificates::Flaw::WeakKey);
        break;
    case HttpsCommonNameOnly:
        m_tls = flawed(TestCertificates::Flaw::CommonNameOnly);
        break;
    }
    auto fail = [this](const char* what) {
        if (m_tls)
            SSL_CTX_free(m_tls);
        throw std::runtime_error(std::string("test server: ") + what + ": " + std::strerror(errno));
    };
    int wakePipe[2];
    if (pipe2(wakePipe, O_CLOEXEC) != 0)
        fail("pipe");
    m_wakeReader.Reset(wakePipe[0]);
    m_wakeWriter.Reset(wakePipe[1]);
    m_listener.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!m_listener.IsOpen())
        fail("socket");
    int reuse = 1;
    if (port != 0 && ::setsockopt(m_listener.Get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0)
        fail("setsockopt");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    socklen_t length = sizeof address;
    if (::bind(m_listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener.Get(), 64) != 0 ||
        ::getsockname(m_listener.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        fail("listen");
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

TestServer::~TestServer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        for (ServerConnection* connection : m_connections)
            connection->Interrupt();
    }
    m_stopped.notify_all();
    char wake = 0;
    [[maybe_unused]] ssize_t written = ::write(m_wakeWriter.Get(), &wake, 1);
    m_acceptThread.join();
    // No thread is added once the accept loop has ended.
    for (std::thread& thread : m_connectionThreads)
        thread.join();
    if (m_tls)
        SSL_CTX_free(m_tls);
}

void TestServer::Route(const std::string& path, Reply reply)
{
    Route(path, std::vector<Reply>{std::move(reply)});
}

void TestServer::Route(const std::string& path, std::vector<Reply> replies)
{
    if (replies.empty())
        throw std::invalid_argument("test server: a route needs a reply");
    std::lock_guard lock(m_mutex);
    m_routes[path] = RouteReplies{std::move(replies), 0};
}

void TestServer::ServeFolder(const std::string& urlPrefix, const std::filesystem::path& folder)
{
    std::lock_guard lock(m_mutex);
    m_folders.emplace_back(urlPrefix, folder);
}

std::string TestServer::Url(std::string_view path) const
{
    std::string url = m_scheme == Http ? "http://127.0.0.1:" : "https://127.0.0.1:";
    url += std::to_string(m_port);
    if (path.empty() || path.front() != '/')
        url += '/';
    url += path;
    return url;
}

std::wstring TestServer::WideUrl(std::wstring_view path) const
{
    std::string base = Url("");
    base.pop_back();
    std::wstring url(base.begin(), base.end());
    if (path.empty() || path.front() != L'/')
        url += L'/';
    url += path;
    return url;
}

std::vector<ReceivedRequest> TestServer::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::size_t TestServer::RequestCount(std::string_view path) const
{
    std::lock_guard lock(m_mutex);
    return static_cast<std::size_t>(std::count_if(m_requests.begin(), m_requests.end(),
                                                  [&](const ReceivedRequest& request) { return request.path == path; }));
}

std::uint64_t TestServer::BodyBytesSent() const
{
    std::lock_guard lock(m_mutex);
    return m_bodyBytesSent;
}

bool TestServer::WaitUntilNoConnection(std::chrono::milliseconds limit) const
{
    std::unique_lock lock(m_mutex);
    return m_connectionEnded.wait_for(lock, limit, [this] { return m_connections.empty(); });
}

bool TestServer::TrickleLines(ServerConnection& connection, std::string_view head, std::chrono::milliseconds interval)
{
    for (bool first = true; !head.empty(); first = false) {
        std::size_t end = std::min(head.find('\n'), head.size() - 1) + 1;
        if ((!first && !Wait(interval)) || !connection.Write(head.substr(0, end)))
            return false;
        head.remove_prefix(end);
    }
    return true;
}

bool TestServer::Wait(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_mutex);
    return !m_stopped.wait_for(lock, duration, [this] { return m_stopping; });
}

void TestServer::AcceptLoop()
{
    for (;;) {
        pollfd watched[2] = {{m_listener.Get(), POLLIN, 0}, {m_wakeReader.Get(), POLLIN, 0}};
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (watched[1].revents)
            return;
        UniqueDescriptor accepted(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!accepted.IsOpen())
            continue;
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_connectionThreads.emplace_back([this, socket = accepted.Release()] { Serve(socket); });
    }
}

void TestServer::Serve(int socket)
{
    auto connection = std::make_unique<ServerConnection>(socket, m_tls);
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_connections.insert(connection.get());
    }
    if (connection->Handshake()) {
        std::string pending;
        char buffer[16 * 1024];
        for (std::size_t served = 0; served < kMaxRequestsPerConnection; ++served) {
            std::size_t headEnd;
            while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos && pending.size() < kMaxHead) {
                std::size_t n = connection->Read(buffer, sizeof buffer);
                if (n == 0)
                    break;
                pending.append(buffer, n);
            }
            if (headEnd == std::string::npos)
                break;
            std::optional<ReceivedRequest> parsed = ReceivedRequest::FromHead(pending.substr(0, headEnd + 2));
            if (!parsed) {
                connection->Write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                break;
            }
            ReceivedRequest& request = *parsed;
            pending.erase(0, headEnd + 4);
            if (request.Header("Transfer-Encoding")) {
                connection->Write("HTTP/1.1 501 Not Implemented\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                break;
            }
            std::size_t bodyLength = std::strtoull(request.Header("Content-Length").value_or("0").c_str(), nullptr, 10);
            if (bodyLength > kMaxRequestBody)
                break;
            while (pending.size() < bodyLength) {
                std::size_t n = connection->Read(buffer, sizeof buffer);
                if (n == 0)
                    break;
                pending.append(buffer, n);
            }
            if (pending.size() < bodyLength)
                break;
            request.body = pending.substr(0, bodyLength);
            pending.erase(0, bodyLength);
            std::optional<std::string> connectionHeader = request.Header("Connection");
            bool clientCloses = request.version == "HTTP/1.0" || (connectionHeader && SameName(*connectionHeader, "close"));
            {
                std::lock_guard lock(m_mutex);
                m_requests.push_back(request);
            }
            if (!Answer(*connection, request) || clientCloses)
                break;
        }
    }
    std::lock_guard lock(m_mutex);
    m_connections.erase(connection.get());
    m_connectionEnded.notify_all();
}

Reply TestServer::ReplyFor(const ReceivedRequest& request)
{
    std::optional<ServedFolder> folder;
    {
        std::lock_guard lock(m_mutex);
        auto route = m_routes.find(request.path);
        if (route != m_routes.end()) {
            RouteReplies& entry = route->second;
            std::size_t index = std::min(entry.served++, entry.replies.size() - 1);
            return entry.replies[index];
        }
        for (const ServedFolder& served : m_folders) {
            if (served.Holds(request.path)) {
                folder = served;
                break;
            }
        }
    }
    return folder ? folder->ReplyFor(request.path) : Reply::Body("not found", 404).Header("Content-Type", "text/plain");
}

bool TestServer::Answer(ServerConnection& connection, const ReceivedRequest& request)
{
    Reply reply = ReplyFor(request);
    if (reply.stallBeforeHeaders.count() > 0 && !Wait(reply.stallBeforeHeaders))
        return false;
    switch (reply.kind) {
    case Reply::Kind::Reset:
        connection.Reset();
        return false;
    case Reply::Kind::Hangup:
        connection.Close();
        return false;
    case Reply::Kind::Raw:
        connection.Write(reply.body);
        connection.Close();
        return false;
    case Reply::Kind::Answer:
        break;
    }
    bool keepOpen = Send(connection, request, reply);
    if (!keepOpen)
        connection.Close();
    return keepOpen;
}

bool TestServer::Send(ServerConnection& connection, const ReceivedRequest& request, const Reply& reply)
{
    std::uint64_t length = reply.generated ? reply.generatedLength : reply.body.size();
    bool noBody = WithoutBody(reply.status);
    bool chunked = reply.chunked && !noBody;
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonPhrase(reply.status) + "\r\n";
    if (!HasHeader(reply, "Content-Length") && !HasHeader(reply, "Transfer-Encoding")) {
        if (chunked)
            head += "Transfer-Encoding: chunked\r\n";
        else if (!noBody)
            head += "Content-Length: " + std::to_string(length) + "\r\n";
    }
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    if (reply.cut)
        head += "Connection: close\r\n";
    head += "\r\n";
    if (reply.headerTrickle.count() > 0 ? !TrickleLines(connection, head, reply.headerTrickle) : !connection.Write(head))
        return false;
    if (noBody || request.method == "HEAD")
        return !reply.cut;

    std::uint64_t toSend = reply.cut ? std::min(reply.cutAfter, length) : length;
    std::uint64_t sent = 0;
    bool stalled = false;
    std::string piece;
    while (sent < toSend) {
        std::uint64_t end = std::min(toSend, sent + (reply.bodyTrickle.count() > 0 ? reply.bodyTrickleBytes : kPiece));
        if (reply.stallInBody && !stalled && sent < reply.stallAfterBytes)
            end = std::min(end, reply.stallAfterBytes);
        piece.clear();
        if (chunked) {
            char size[32];
            std::snprintf(size, sizeof size, "%llx\r\n", static_cast<unsigned long long>(end - sent));
            piece += size;
        }
        AppendBody(reply, sent, static_cast<std::size_t>(end - sent), piece);
        if (chunked)
            piece += "\r\n";
        if (reply.bodyTrickle.count() > 0 && sent > 0 && !Wait(reply.bodyTrickle))
            return false;
        if (!connection.Write(piece))
            return false;
        {
            std::lock_guard lock(m_mutex);
            m_bodyBytesSent += end - sent;
        }
        sent = end;
        if (reply.stallInBody && !stalled && sent >= reply.stallAfterBytes) {
            stalled = true;
            if (!Wait(reply.stallInBodyDuration))
                return false;
        }
    }
    if (reply.cut)
        return false;
    return !chunked || connection.Write("0\r\n\r\n");
}
