// An HTTP or HTTPS server on 127.0.0.1 (a free port unless one is given), in the test's own
// process. It answers from a table the test fills (by request path), else from a served folder,
// else 404, and records every request it reads. Stopped, and all its threads joined, by the
// destructor. SIGPIPE is ignored in the process from the first server on, so a client that goes
// away ends no test.
//
//   TestServer server(TestServer::Https);        // trusted after TestCertificates::TrustAuthority()
//   server.Route("/a", Reply::Body("x"));
//   server.Route("/flaky", {Reply::Reset(), Reply::Body("y")});   // first a reset, then y
//   OpenURL(server.WideUrl(L"/a").c_str());
#pragma once

#include <openssl/ssl.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/win/UniqueDescriptor.h"
#include "tests/support/ReceivedRequest.h"
#include "tests/support/Reply.h"
#include "tests/support/ServedFolder.h"

class ServerConnection;

class TestServer {
public:
    // HttpsUntrusted: a self-signed certificate that TestCertificates' authority did not sign.
    // HttpsClientAuthOnly, HttpsWeakKey, HttpsCommonNameOnly: the authority's flawed ones.
    enum Scheme { Http, Https, HttpsUntrusted, HttpsClientAuthOnly, HttpsWeakKey, HttpsCommonNameOnly };

    explicit TestServer(Scheme scheme = Http);
    // port 0: a free port. A given port is bound with SO_REUSEADDR, so that tests run one after
    // another can take it again while old connections linger in TIME_WAIT.
    TestServer(Scheme scheme, int port);
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;
    ~TestServer();

    // path: the request's path as sent (no query, percent-encoding kept).
    void Route(const std::string& path, Reply reply);
    // One reply per request to that path, in order; the last one answers all later requests.
    void Route(const std::string& path, std::vector<Reply> replies);
    // Files of folder under urlPrefix ("/files/" serves folder/a.txt as /files/a.txt).
    void ServeFolder(const std::string& urlPrefix, const std::filesystem::path& folder);

    int Port() const { return m_port; }
    // "http://127.0.0.1:PORT" followed by path.
    std::string Url(std::string_view path = "/") const;
    std::wstring WideUrl(std::wstring_view path = L"/") const;

    std::vector<ReceivedRequest> Requests() const;
    std::size_t RequestCount(std::string_view path) const;
    // Body bytes of all answers that the client's side took in (written to the connection).
    std::uint64_t BodyBytesSent() const;
    // True once no connection is open, false when limit passes first.
    bool WaitUntilNoConnection(std::chrono::milliseconds limit) const;

private:
    struct RouteReplies {
        std::vector<Reply> replies;
        std::size_t served = 0;
    };

    void AcceptLoop();
    void Serve(int socket);
    // False when the connection must end after this answer.
    bool Answer(ServerConnection& connection, const ReceivedRequest& request);
    bool Send(ServerConnection& connection, const ReceivedRequest& request, const Reply& reply);
    Reply ReplyFor(const ReceivedRequest& request);
    // False when the server stopped meanwhile.
    bool Wait(std::chrono::milliseconds duration);
    // The head's lines one each interval; false when a write failed or the server stopped.
    bool TrickleLines(ServerConnection& connection, std::string_view head, std::chrono::milliseconds interval);

    Scheme m_scheme;
    SSL_CTX* m_tls = nullptr;
    UniqueDescriptor m_listener;
    UniqueDescriptor m_wakeReader;  // the accept loop's: readable once the server stops
    UniqueDescriptor m_wakeWriter;
    int m_port = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_stopping = false;
    std::map<std::string, RouteReplies> m_routes;
    std::vector<ServedFolder> m_folders;
    std::vector<ReceivedRequest> m_requests;
    std::set<ServerConnection*> m_connections;
    mutable std::condition_variable m_connectionEnded;
    std::uint64_t m_bodyBytesSent = 0;
    std::vector<std::thread> m_connectionThreads;
    std::thread m_acceptThread;
};
