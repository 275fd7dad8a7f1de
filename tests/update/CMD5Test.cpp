#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/win/Text.h"
#include "platform/win/ThreadQueues.h"
#include "platform/win/Threads.h"
#include "platform/win/UniqueDescriptor.h"
#include "tests/support/FinishesWithin.h"
#include "update/CMD5.h"

namespace {

class CMD5Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zorv-md5-XXXXXX";
        folder = mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::wstring Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        return (folder / name).wstring();
    }

    std::filesystem::path folder;
};

// The digest as the client update makes it: Init, AssignFile, the block loop, FormatDigest.
struct Digest {
    std::wstring text;
    bool made = false;
    int blocks = 0;
};

Digest DigestOf(const std::wstring& path)
{
    CMD5 md5;
    md5.Init();
    md5.AssignFile(path.c_str());
    Digest digest;
    bool more;
    do {
        more = md5.ReadBlock();
        md5.Transform();
        ++digest.blocks;
    } while (more);
    md5.FormatDigest();
    if (LPCWSTR text = md5.GetDigest()) {
        digest.made = true;
        digest.text = text;
    }
    return digest;
}

std::string Md5sumOf(const std::filesystem::path& path)
{
    std::string command = "md5sum '" + path.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    char out[33] = {};
    EXPECT_EQ(fread(out, 1, 32, pipe), 32u);
    pclose(pipe);
    return out;
}

TEST_F(CMD5Test, KnownVectorsAndEveryPaddingCase)
{
    struct Case {
        std::string bytes;
        const wchar_t* digest;
        int blocks;
    } cases[] = {
        {"", L"d41d8cd98f00b204e9800998ecf8427e", 1},
        {"abc", L"900150983cd24fb0d6963f7d28e17f72", 1},
        {"message digest", L"f96b697d7cb7938d525a2f31aaf161d0", 1},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         L"57edf4a22be3c955ac49da2e2107b67a", 2},
        {std::string(55, 'a'), L"ef1772b6dff9a122358552954ad0df65", 1},
        {std::string(56, 'a'), L"3b0c8ac703f828b04c6c197006d17218", 2},
        {std::string(63, 'a'), L"b06521f39153d618550606be297466d5", 2},
        {std::string(64, 'a'), L"014842d480b571495a4a0363793f7367", 2},
        {std::string(120, 'a'), L"5f61c0ccad4cac44c75ff505e1f1e537", 3},
    };
    // One after another in one process, in an order that mixes the lengths.
    for (int pass = 0; pass < 2; ++pass) {
        for (const Case& c : cases) {
            std::wstring path = Write("f" + std::to_string(c.bytes.size()), c.bytes);
            Digest digest = DigestOf(path);
            EXPECT_TRUE(digest.made);
            EXPECT_EQ(digest.text, c.digest) << c.bytes.size() << " bytes";
            EXPECT_EQ(digest.blocks, c.blocks) << c.bytes.size() << " bytes";
            EXPECT_EQ(CMD5::DigestFile(path.c_str()), c.digest) << c.bytes.size() << " bytes";
        }
        std::reverse(std::begin(cases), std::end(cases));
    }
}

TEST_F(CMD5Test, LargeRandomFileMatchesMd5sum)
{
    std::mt19937 random(7);
    std::string bytes(3 * 1024 * 1024 + 61, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    std::wstring path = Write("random.bin", bytes);
    Digest digest = DigestOf(path);
    ASSERT_TRUE(digest.made);
    EXPECT_EQ(WideToUtf8(digest.text), Md5sumOf(folder / "random.bin"));
}

TEST_F(CMD5Test, NoDigestForWhatCannotBeRead)
{
    std::filesystem::create_directory(folder / "dir");
    EXPECT_FALSE(DigestOf((folder / "dir").wstring()).made);
    EXPECT_FALSE(DigestOf((folder / "absent").wstring()).made);
    EXPECT_FALSE(DigestOf(L"").made);
    EXPECT_EQ(CMD5::DigestFile((folder / "dir").wstring().c_str()), L"");
    EXPECT_EQ(CMD5::DigestFile((folder / "absent").wstring().c_str()), L"");
    std::wstring locked = Write("locked", "x");
    std::filesystem::permissions(folder / "locked", std::filesystem::perms::none);
    if (geteuid() != 0) {  // root reads it anyway
        EXPECT_FALSE(DigestOf(locked).made);
    }
}

TEST_F(CMD5Test, WhatIsNotARegularFileGivesNoDigestAndNeverBlocks)
{
    // Opening a FIFO without a writer waits for one; reading a FIFO whose writer sends nothing
    // waits for good; reading /dev/zero never ends.
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((folder / "silent fifo").c_str(), 0600), 0);
    UniqueDescriptor writer(open((folder / "silent fifo").c_str(), O_RDWR | O_NONBLOCK));
    ASSERT_TRUE(writer.IsOpen());
    std::filesystem::create_symlink("/dev/zero", folder / "zero");
    std::filesystem::create_symlink(folder / "fifo", folder / "link to fifo");
    for (const char* name : {"fifo", "silent fifo", "zero", "link to fifo"}) {
        Digest digest;
        FinishesWithin(std::chrono::seconds(5), [&] { digest = DigestOf((folder / name).wstring()); });
        EXPECT_FALSE(digest.made) << name;
    }
}

TEST_F(CMD5Test, TransformDispatchesThreadMessagesBeforeEachBlock)
{
    // A thread message posted during the digest is taken from the queue before the next block.
    std::wstring path = Write("two-blocks", std::string(100, 'z'));
    CMD5 md5;
    md5.Init();
    md5.AssignFile(path.c_str());
    md5.ReadBlock();
    md5.Transform();
    PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 0, 0);
    md5.ReadBlock();
    md5.Transform();
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
