#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/afx/CFile.h"
#include "platform/win/UniqueDescriptor.h"
#include "tests/support/FinishesWithin.h"

namespace {

TEST(CFile, OnlyRegularFilesOpenAndNothingWaits)
{
    char pattern[] = "/tmp/zorv-odd-XXXXXX";
    std::filesystem::path folder = mkdtemp(pattern);
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);        // opening waits for the other end
    ASSERT_EQ(mkfifo((folder / "held fifo").c_str(), 0600), 0);   // opens at once; reads wait
    UniqueDescriptor otherEnd(open((folder / "held fifo").c_str(), O_RDWR | O_NONBLOCK));
    std::filesystem::create_symlink("/dev/zero", folder / "zero");  // reads never end
    std::filesystem::create_directory(folder / "folder");
    struct Case {
        const char* name;
        UINT mode;
    } cases[] = {
        {"fifo", CFile::modeRead},
        {"fifo", CFile::modeCreate | CFile::modeWrite},
        {"held fifo", CFile::modeRead},
        {"zero", CFile::modeRead},
        {"zero", CFile::modeCreate | CFile::modeWrite},
        {"folder", CFile::modeRead},
    };
    for (const Case& c : cases) {
        CFile file;
        BOOL opened = TRUE;
        FinishesWithin(std::chrono::seconds(5), [&] {
            opened = file.Open(CString((folder / c.name).wstring()), c.mode | CFile::typeBinary);
        });
        EXPECT_FALSE(opened) << c.name << " " << c.mode;
        EXPECT_FALSE(file.IsOpen()) << c.name;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "fifo"));
    otherEnd.Reset();
    std::filesystem::remove_all(folder);
}

}  // namespace
