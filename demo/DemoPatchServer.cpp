// The local demo patch server: serves a folder on 127.0.0.1 over HTTPS (the patch server and
// the game's page) until it is stopped. It answers at the pace of a modest line, so that a
// player sees each update window at work: the lists after a short wait, the patch files at about
// 2 MB a second.
//   zorv_demo_server PORT CERTIFICATE KEY FOLDER
#include <httplib.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

httplib::SSLServer* g_server = nullptr;

void Stop(int)
{
    if (g_server)
        g_server->stop();
}

constexpr auto kListDelay = std::chrono::milliseconds(800);
constexpr size_t kChunk = 64 * 1024;
constexpr auto kChunkPause = std::chrono::milliseconds(30);

// The patch files, sent in paced chunks with their full Content-Length.
void ServePaced(const std::filesystem::path& folder, const httplib::Request& request, httplib::Response& response)
{
    std::filesystem::path file = folder / request.path.substr(1);
    std::error_code error;
    if (request.path.find("..") != std::string::npos || !std::filesystem::is_regular_file(file, error)) {
        response.status = 404;
        return;
    }
    auto stream = std::make_shared<std::ifstream>(file, std::ios::binary);
    response.set_content_provider(std::filesystem::file_size(file), "application/octet-stream",
                                  [stream](size_t offset, size_t length, httplib::DataSink& sink) {
                                      std::vector<char> chunk(std::min(length, kChunk));
                                      stream->seekg(static_cast<std::streamoff>(offset));
                                      stream->read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
                                      std::this_thread::sleep_for(kChunkPause);
                                      return sink.write(chunk.data(), static_cast<size_t>(stream->gcount()));
                                  });
}

bool SetUp(httplib::Server& server, const char* folder)
{
    std::filesystem::path root = folder;
    server.Get("/zorv/patch/.*", [root](const httplib::Request& request, httplib::Response& response) {
        ServePaced(root, request, response);
    });
    server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
        if (request.path.size() > 4 && request.path.compare(request.path.size() - 4, 4, ".txt") == 0)
            std::this_thread::sleep_for(kListDelay);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // Mounted folders are served before any handler, so the paced patch folder is not mounted.
    for (const char* mount : {"/zorv/patch_v3", "/zorv/filelist", "/zorv/web"}) {
        if (!server.set_mount_point(mount, (root / (mount + 1)).string())) {
            std::fprintf(stderr, "demo server: no folder %s in %s\n", mount, folder);
            return false;
        }
    }
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        std::fprintf(stderr, "demo server: GET %s -> %d\n", request.path.c_str(), response.status);
    });
    return true;
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
    if (!SetUp(server, argv[4]))
        return 1;
    g_server = &server;
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);
    if (!server.listen("127.0.0.1", port)) {
        std::fprintf(stderr, "demo server: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    return 0;
}
