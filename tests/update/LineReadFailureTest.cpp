#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestSupport.h"

namespace {

using namespace std::chrono_literals;

// The address space the process holds now, in bytes.
rlim_t AddressSpaceInUse()
{
    std::ifstream statm("/proc/self/statm");
    unsigned long long pages = 0;
    statm >> pages;
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

// While it lives, the process may map only this many bytes more.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t more)
    {
        getrlimit(RLIMIT_AS, &m_saved);
        rlimit limited = m_saved;
        limited.rlim_cur = AddressSpaceInUse() + more;
        setrlimit(RLIMIT_AS, &limited);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &m_saved); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    rlimit m_saved;
};

TEST(LineReadFailure, ALineThatCannotBeHeldFailsTheLineTransfer)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' allocators end the process instead of failing an allocation";
#else
    TestCertificates::TrustAuthority();
    TemporaryFolder folder;
    BoxRecorder boxes;
    TestServer server(TestServer::Https);
    // A first line, then, after a pause in which the limit is set, one of 96 MiB that no
    // allocation within the limit can hold.
    server.Route("/list", Reply::Body("first\n" + std::string(96 * 1024 * 1024, 'x') + "\n").StallAfter(6, 500ms));
    CUpdateManager manager;
    manager.m_bRunning = 1;
    std::vector<CString> lines;
    bool result = true;
    std::thread worker([&] { result = manager.DownloadLines(server.WideUrl(L"/list").c_str(), lines); });
    std::unique_ptr<AddressSpaceLimit> limit;
    if (RunLoopUntil([&] { return server.RequestCount("/list") == 1; })) {
        std::this_thread::sleep_for(200ms);
        limit = std::make_unique<AddressSpaceLimit>(48 * 1024 * 1024);
    }
    worker.join();
    limit.reset();
    EXPECT_FALSE(result);
    EXPECT_EQ(server.RequestCount("/list"), 1u);  // not an internet failure: no other attempt
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, L"Memory Exception");
#endif
}

}  // namespace
