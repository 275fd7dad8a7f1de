// Local files that are not regular files (a FIFO, a link to a device) never block the worker:
// verification counts them as not matching, and a download onto one fails with the file box.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/win/UniqueDescriptor.h"
#include "tests/support/FinishesWithin.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestAccess.h"
#include "tests/update/UpdateTestSupport.h"

namespace {

constexpr const wchar_t* kEmptyDigest = L"d41d8cd98f00b204e9800998ecf8427e";

// A FIFO held open at the other end for the object's life, so that opening it does not wait;
// the other end neither reads nor writes.
class HeldFifo {
public:
    HeldFifo(const std::filesystem::path& path, int otherEnd)
    {
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
        m_descriptor.Reset(open(path.c_str(), otherEnd | O_NONBLOCK));
        EXPECT_TRUE(m_descriptor.IsOpen());
    }

private:
    UniqueDescriptor m_descriptor;
};

class OddLocalFilesTest : public ::testing::Test {
protected:
    OddLocalFilesTest() { TestCertificates::TrustAuthority(); }

    TemporaryFolder folder;
    BoxRecorder boxes;
    NotifyRecorder window;
};

TEST_F(OddLocalFilesTest, VerificationCountsThemAsNotMatching)
{
    // Each odd file is listed with the digest of no bytes, so one read as empty would match.
    auto data = folder.Path() / "Zorv_Data";
    std::filesystem::create_directories(data);
    ASSERT_EQ(mkfifo((data / "fifo").c_str(), 0600), 0);
    HeldFifo silent(data / "silent", O_RDWR);
    std::filesystem::create_symlink("/dev/zero", data / "zero");
    folder.WriteFile("Zorv_Data/empty", "");
    std::vector<FileListEntry> files;
    for (const wchar_t* name : {L"fifo", L"silent", L"zero", L"empty"})
        files.push_back(FileListEntry::Parse(CString(name) + L"\t1\t" + kEmptyDigest + L"\t10"));

    CUpdateManager manager;
    UpdateTestAccess::Prepare(manager, window.hwnd);
    ULONGLONG total = 0;
    bool verified = false;
    FinishesWithin(std::chrono::seconds(10), [&] { verified = manager.VerifyLocalFiles(files, total); });
    EXPECT_TRUE(verified);
    std::vector<std::string> kept;
    for (const FileListEntry& entry : files)
        kept.push_back(entry.strPath);
    EXPECT_EQ(kept, (std::vector<std::string>{"fifo", "silent", "zero"}));
    EXPECT_EQ(total, 30u);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(OddLocalFilesTest, ADownloadOntoOneFailsWithTheOpenFileBox)
{
    TestServer server(TestServer::Https);
    server.Route("/a", Reply::Body("new content"));
    ASSERT_EQ(mkfifo("fifo", 0600), 0);  // opening it for writing would wait for a reader
    HeldFifo read(folder.Path() / "read fifo", O_RDONLY);  // writes would go to its reader
    std::filesystem::create_symlink("/dev/zero", "zero");  // writes would vanish
    std::filesystem::create_directory("folder");
    int attempt = 0;
    for (const wchar_t* name : {L"fifo", L"read fifo", L"zero", L"folder"}) {
        // A local file that cannot be opened closes the session, so each case has its own manager.
        CUpdateManager manager;
        UpdateTestAccess::Prepare(manager, window.hwnd);
        bool fetched = true;
        FinishesWithin(std::chrono::seconds(10),
                       [&] { fetched = manager.DownloadToFile(server.WideUrl(L"/a").c_str(), name); });
        EXPECT_FALSE(fetched) << name;
        ++attempt;
        auto shown = boxes.Boxes();
        ASSERT_EQ(shown.size(), static_cast<size_t>(attempt)) << name;
        EXPECT_EQ(shown.back().text, std::wstring(L"OpenFile Error: ") + name);
        EXPECT_EQ(shown.back().caption, L"OpenFile Exception");
    }
    EXPECT_EQ(server.RequestCount("/a"), 4u);  // one request each: the failure is not retried
    EXPECT_TRUE(std::filesystem::is_fifo("fifo"));
    EXPECT_TRUE(std::filesystem::is_symlink("zero"));
}

}  // namespace
