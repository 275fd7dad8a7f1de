// The local demo patch server: serves a folder over HTTPS on 127.0.0.1 until it is stopped.
//   zorv_demo_server PORT CERTIFICATE KEY FOLDER
#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

httplib::SSLServer* g_server = nullptr;

void Stop(int)
{
    if (g_server)
        g_server->stop();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s PORT CERTIFICATE KEY FOLDER\n", argv[0]);
        return 2;
    }
    int port = std::atoi(argv[1]);
    httplib::SSLServer server(argv[2], argv[3]);
    if (!server.is_valid()) {
        std::fprintf(stderr, "demo server: cannot use the certificate %s and key %s\n", argv[2], argv[3]);
        return 1;
    }
    if (!server.set_mount_point("/", argv[4])) {
        std::fprintf(stderr, "demo server: no folder %s\n", argv[4]);
        return 1;
    }
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        std::fprintf(stderr, "demo server: %s %s -> %d\n", request.method.c_str(), request.path.c_str(), response.status);
    });
    g_server = &server;
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);
    if (!server.listen("127.0.0.1", port)) {
        std::fprintf(stderr, "demo server: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    return 0;
}
