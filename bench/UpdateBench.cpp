// The update engine's transfers and verification against the reference tools, timed in one run:
//   VerifyLocalFiles over 10,000 files of 16 KiB against md5sum of the same files;
//   VerifyLocalFiles over 200,000 entries naming 100 current files of 4 KiB against md5sum of the
//   same 200,000 paths: a long list costs its digests' time and no more;
//   the client update worker over 1 GiB of matching files, from its start to UN_FILES_DONE (the
//   moment the client update window starts the game), against md5sum of the same files;
//   DownloadToFile of 1 GiB from a loopback server against curl -o from the same server, and the
//   peak memory of a 1 GiB body against a 1 MiB one.
// Pinning to one core (taskset -c N) steadies the verification figures; the download needs two,
// one for the server.
#include <glib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "Alternation.h"
#include "platform/win/FileSystem.h"
#include "platform/win/WindowHandles.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestAccess.h"
#include "update/CUpdateManager.h"

namespace {

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

std::string NumberedName(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "f%d.dat", number);
    return name;
}

// The client update window's part: waits on the main loop for the worker's last word.
class EndRecorder : public WindowProcedure {
public:
    EndRecorder() : m_hwnd(RegisterWindowHandle(this)) { SetWindowDelivery(m_hwnd, true); }
    ~EndRecorder() { UnregisterWindowHandle(m_hwnd); }

    LRESULT WindowProc(UINT message, WPARAM code, LPARAM record) override
    {
        if (message != WM_UPDATE_NOTIFY)
            return 0;
        TakeUpdateNotifyRecord(code, record);
        if (code == UN_FILES_DONE || code == UN_FAILED)
            m_ended = code;
        return 0;
    }

    // True when the worker ended with UN_FILES_DONE.
    bool RunClientUpdate(const std::wstring& listUrl)
    {
        m_ended = 0;
        CUpdateManager manager;
        UpdateTestAccess::FileListUrl(manager) = listUrl.c_str();
        manager.StartWorker(m_hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
        while (!m_ended)
            g_main_context_iteration(nullptr, TRUE);
        return m_ended == UN_FILES_DONE;
    }

private:
    HWND m_hwnd;
    WPARAM m_ended = 0;
};

// Files of random bytes in Zorv_Data/bench, and the client file list that names them with their
// digests as md5sum gives them.
std::string WriteListedFiles(const std::filesystem::path& folder, int count, std::size_t size)
{
    std::mt19937_64 random(count);
    std::vector<std::uint64_t> bytes(size / 8);
    std::filesystem::create_directories(folder / "Zorv_Data/bench");
    for (int i = 0; i < count; ++i) {
        for (auto& word : bytes)
            word = random();
        std::ofstream(folder / "Zorv_Data/bench" / NumberedName(i), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
    }
    std::string list;
    std::string command = "cd '" + folder.string() + "/Zorv_Data/bench' && md5sum f*.dat";
    FILE* pipe = popen(command.c_str(), "r");
    char digest[33];
    char name[256];
    while (pipe && std::fscanf(pipe, "%32s %255s", digest, name) == 2) {
        char line[400];
        std::snprintf(line, sizeof line, "bench\\%s\t1\t%s\t%zu\n", name, digest, size);
        list += line;
    }
    if (pipe)
        pclose(pipe);
    return list;
}

void VerifyBench(const std::filesystem::path& folder)
{
    constexpr int kFiles = 10000;
    std::mt19937 random(3);
    std::string bytes(16 * 1024, '\0');
    std::vector<FileListEntry> entries;
    std::filesystem::create_directories(folder / "Zorv_Data/small");
    for (int i = 0; i < kFiles; ++i) {
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        std::string name = NumberedName(i);
        std::ofstream(folder / "Zorv_Data/small" / name, std::ios::binary) << bytes;
        std::string line = "small\\" + name + "\t1\t0123456789abcdef0123456789abcdef\t16384";
        entries.push_back(FileListEntry::Parse(CString(std::wstring(line.begin(), line.end()))));
    }
    std::string reference = "cd '" + folder.string() + "/Zorv_Data/small' && md5sum *.dat > /dev/null";
    Run(reference);  // warms the page cache
    CUpdateManager manager;
    UpdateTestAccess::Running(manager) = 1;
    Comparison times = Alternate(
        [&] {
            std::vector<FileListEntry> list = entries;
            ULONGLONG total = 0;
            manager.VerifyLocalFiles(list, total);
        },
        [&] { Run(reference); });
    std::string what = "VerifyLocalFiles, " + std::to_string(kFiles) + " files of 16 KiB";
    PrintComparison(what.c_str(), "md5sum", times, 1.2);
    std::filesystem::remove_all(folder / "Zorv_Data/small");
}

void ManyEntriesBench(const std::filesystem::path& folder)
{
    constexpr int kFiles = 100;
    constexpr int kEntries = 200000;
    std::string list = WriteListedFiles(folder, kFiles, 4 * 1024);
    std::vector<FileListEntry> named;
    for (size_t start = 0, end; (end = list.find('\n', start)) != std::string::npos; start = end + 1)
        named.push_back(FileListEntry::Parse(CString(std::wstring(list.begin() + start, list.begin() + end))));
    std::vector<FileListEntry> entries;
    std::string paths;
    for (int i = 0; i < kEntries; ++i) {
        const FileListEntry& entry = named[static_cast<size_t>(i) % named.size()];
        entries.push_back(entry);
        paths += NativePath(entry.Path()) + "\n";  // as md5sum finds it in Zorv_Data
    }
    std::ofstream(folder / "Zorv_Data/paths.txt") << paths;
    std::string reference = "cd '" + folder.string() + "/Zorv_Data' && xargs md5sum < paths.txt > /dev/null";
    CUpdateManager manager;
    UpdateTestAccess::Running(manager) = 1;
    bool allCurrent = true;
    Comparison times = Alternate(
        [&] {
            std::vector<FileListEntry> copy = entries;
            ULONGLONG total = 0;
            manager.VerifyLocalFiles(copy, total);
            allCurrent = allCurrent && copy.empty();
        },
        [&] { Run(reference); });
    if (!allCurrent)
        std::fprintf(stderr, "the verification kept entries of current files\n");
    std::string what = "VerifyLocalFiles, " + std::to_string(kEntries) + " entries naming " + std::to_string(kFiles) +
                       " files of 4 KiB";
    PrintComparison(what.c_str(), "md5sum", times, 1.2);
    std::filesystem::remove_all(folder / "Zorv_Data/bench");
    std::filesystem::remove(folder / "Zorv_Data/paths.txt");
}

void ClientUpdateBench(const std::filesystem::path& folder)
{
    constexpr int kFiles = 16;
    constexpr std::size_t kSize = 64u << 20;
    std::string list = WriteListedFiles(folder, kFiles, kSize);  // md5sum's run warms the cache
    TestServer server(TestServer::Https);
    server.Route("/list/ExecutableFileList.txt", Reply::Body(list));
    EndRecorder window;
    bool current = true;
    std::string reference = "cd '" + folder.string() + "/Zorv_Data/bench' && md5sum f*.dat > /dev/null";
    Comparison times = Alternate([&] { current = window.RunClientUpdate(server.WideUrl(L"/list/")) && current; },
                                 [&] { Run(reference); });
    if (!current)
        std::fprintf(stderr, "the client update did not end with every file current\n");
    PrintComparison("Client update of 16 matching files of 64 MiB, to UN_FILES_DONE", "md5sum", times, 1.15);
    std::filesystem::remove_all(folder / "Zorv_Data/bench");
}

void DownloadBench(const std::filesystem::path& folder)
{
    constexpr std::uint64_t kLarge = 1ull << 30;
    TestServer server(TestServer::Http);
    server.Route("/small", Reply::Generated(1 << 20));
    server.Route("/large", Reply::Generated(kLarge));
    std::string target = (folder / "download.bin").string();
    std::wstring local(target.begin(), target.end());
    CUpdateManager manager;
    UpdateTestAccess::Running(manager) = 1;
    UpdateTestAccess::ReportProgress(manager) = false;

    manager.DownloadToFile(server.WideUrl(L"/small").c_str(), local.c_str());
    long smallPeak = PeakKibibytes();
    Comparison times = Alternate([&] { manager.DownloadToFile(server.WideUrl(L"/large").c_str(), local.c_str()); },
                                 [&] { Run("curl -s -o '" + target + "' " + server.Url("/large")); });
    long largePeak = PeakKibibytes();
    PrintComparison("DownloadToFile of 1 GiB", "curl -o", times, 1.2);
    std::printf("Peak memory with a 1 GiB body: %ld KiB above that with a 1 MiB body (aim: at most 8192)\n",
                largePeak - smallPeak);
    std::filesystem::remove(target);
}

}  // namespace

int main()
{
    TestCertificates::TrustAuthority();
    TemporaryFolder folder;
    VerifyBench(folder.Path());
    ManyEntriesBench(folder.Path());
    ClientUpdateBench(folder.Path());
    DownloadBench(folder.Path());
    return 0;
}
