// The local demo patch server: serves a folder on 127.0.0.1 over HTTPS (the patch server) and
// over plain HTTP (the game's page, which the embedded browser checks against the system's
// certificate store only) until it is stopped.
//   zorv_demo_server HTTPS-PORT HTTP-PORT CERTIFICATE KEY FOLDER
#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

httplib::SSLServer* g_secure = nullptr;
httplib::Server* g_plain = nullptr;

void Stop(int)
{
    if (g_secure)
        g_secure->stop();
    if (g_plain)
        g_plain->stop();
}

bool SetUp(httplib::Server& server, const char* folder, const char* scheme)
{
    if (!server.set_mount_point("/", folder)) {
        std::fprintf(stderr, "demo server: no folder %s\n", folder);
        return false;
    }
    server.set_logger([scheme](const httplib::Request& request, const httplib::Response& response) {
        std::fprintf(stderr, "demo server: %s GET %s -> %d\n", scheme, request.path.c_str(), response.status);
    });
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s HTTPS-PORT HTTP-PORT CERTIFICATE KEY FOLDER\n", argv[0]);
        return 2;
    }
    int securePort = std::atoi(argv[1]);
    int plainPort = std::atoi(argv[2]);
    httplib::SSLServer secure(argv[3], argv[4]);
    httplib::Server plain;
    if (!secure.is_valid()) {
        std::fprintf(stderr, "demo server: cannot use the certificate %s and key %s\n", argv[3], argv[4]);
        return 1;
    }
    if (!SetUp(secure, argv[5], "https") || !SetUp(plain, argv[5], "http"))
        return 1;
    g_secure = &secure;
    g_plain = &plain;
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);
    bool plainListening = true;
    std::thread plainThread([&] { plainListening = plain.listen("127.0.0.1", plainPort); });
    if (!secure.listen("127.0.0.1", securePort))
        std::fprintf(stderr, "demo server: cannot listen on 127.0.0.1:%d\n", securePort);
    plain.stop();
    plainThread.join();
    if (!plainListening)
        std::fprintf(stderr, "demo server: cannot listen on 127.0.0.1:%d\n", plainPort);
    return 0;
}
