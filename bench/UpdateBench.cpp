// The update engine's transfers and verification against the reference tools, timed in one run:
//   VerifyLocalFiles over 10,000 files of 16 KiB against md5sum of the same files;
//   DownloadToFile of 1 GiB from a loopback server against curl -o from the same server, and the
//   peak memory of a 1 GiB body against a 1 MiB one.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "update/CUpdateManager.h"

namespace {

double Seconds(const std::function<void()>& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long PeakKibibytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Run(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "failed: %s\n", command.c_str());
}

void VerifyBench(CUpdateManager& manager, const std::filesystem::path& folder)
{
    constexpr int kFiles = 10000;
    std::mt19937 random(3);
    std::string bytes(16 * 1024, '\0');
    std::vector<FileListEntry> entries;
    std::filesystem::create_directories(folder / "Zorv_Data/bench");
    for (int i = 0; i < kFiles; ++i) {
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        std::string name = "f" + std::to_string(i) + ".dat";
        std::ofstream(folder / "Zorv_Data/bench" / name, std::ios::binary) << bytes;
        FileListEntry entry;
        entry.strPath = CString(L"bench\\") + CString(std::wstring(name.begin(), name.end()));
        entry.strMD5 = L"0123456789abcdef0123456789abcdef";
        entry.nSize = 16 * 1024;
        entries.push_back(entry);
    }
    std::string reference = "cd '" + folder.string() + "/Zorv_Data/bench' && md5sum *.dat > /dev/null";
    Run(reference);  // warms the page cache
    double theirs = 1e9, ours = 1e9;
    for (int round = 0; round < 3; ++round) {
        theirs = std::min(theirs, Seconds([&] { Run(reference); }));
        std::vector<FileListEntry> list = entries;
        ULONGLONG total = 0;
        ours = std::min(ours, Seconds([&] { manager.VerifyLocalFiles(list, total); }));
    }
    std::printf("VerifyLocalFiles, %d files of 16 KiB: %.3f s; md5sum: %.3f s; ratio %.3f (aim: at most 1.2)\n",
                kFiles, ours, theirs, ours / theirs);
}

void DownloadBench(CUpdateManager& manager, const std::filesystem::path& folder)
{
    constexpr std::uint64_t kLarge = 1ull << 30;
    TestServer server(TestServer::Http);
    server.Route("/small", Reply::Generated(1 << 20));
    server.Route("/large", Reply::Generated(kLarge));
    std::string target = (folder / "download.bin").string();
    std::wstring local(target.begin(), target.end());

    manager.DownloadToFile(server.WideUrl(L"/small").c_str(), local.c_str());
    long smallPeak = PeakKibibytes();
    double ours = Seconds([&] { manager.DownloadToFile(server.WideUrl(L"/large").c_str(), local.c_str()); });
    long largePeak = PeakKibibytes();
    double theirs = Seconds([&] { Run("curl -s -o '" + target + "' " + server.Url("/large")); });
    std::printf("DownloadToFile of 1 GiB: %.3f s; curl -o: %.3f s; ratio %.3f (aim: at most 1.2)\n", ours, theirs,
                ours / theirs);
    std::printf("Peak memory with a 1 GiB body: %ld KiB above that with a 1 MiB body (aim: at most 8192)\n",
                largePeak - smallPeak);
}

}  // namespace

int main()
{
    TemporaryFolder folder;
    CUpdateManager manager;
    manager.m_bRunning = 1;
    manager.m_bReportProgress = false;
    VerifyBench(manager, folder.Path());
    DownloadBench(manager, folder.Path());
    return 0;
}
