#include <gtest/gtest.h>

#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/win/FolderLock.h"
#include "platform/win/Text.h"
#include "platform/win/UniqueDescriptor.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/TemporaryFolder.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A stop condition that holds once the time has passed.
auto After(std::chrono::milliseconds limit)
{
    return [deadline = Clock::now() + limit] { return Clock::now() >= deadline; };
}

auto Never()
{
    return [] { return false; };
}

std::wstring Wide(const std::filesystem::path& path)
{
    return Utf8ToWide(path.string());
}

TEST(FolderLock, ASecondHolderWaitsUntilTheFirstLetsGo)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder.Path() / "other");
    auto first = std::make_unique<FolderLock>();
    ASSERT_EQ(first->Acquire(L".", Never()), FolderLock::Outcome::Held);

    FolderLock second;
    auto started = Clock::now();
    EXPECT_EQ(second.Acquire(Wide(folder.Path()).c_str(), After(300ms)), FolderLock::Outcome::Stopped);
    EXPECT_GE(Clock::now() - started, 300ms);
    EXPECT_LT(Clock::now() - started, 300ms + 4 * std::chrono::milliseconds(FolderLock::kRetryIntervalMilliseconds));
    // Another folder is free all the while.
    FolderLock elsewhere;
    EXPECT_EQ(elsewhere.Acquire(L"other", Never()), FolderLock::Outcome::Held);

    first.reset();
    started = Clock::now();
    EXPECT_EQ(second.Acquire(L".", After(2s)), FolderLock::Outcome::Held);
    EXPECT_LT(Clock::now() - started, 500ms);
}

TEST(FolderLock, AKilledHolderLetsTheFolderGo)
{
    TemporaryFolder folder;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    UniqueDescriptor reader(ready[0]);
    UniqueDescriptor writer(ready[1]);
    pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        // Only calls that are safe after a fork: another process holds the folder until killed.
        int descriptor = ::open(".", O_RDONLY | O_DIRECTORY);
        if (descriptor < 0 || ::flock(descriptor, LOCK_EX) != 0)
            ::_exit(1);
        (void)!::write(writer.Get(), "x", 1);
        for (;;)
            ::pause();
    }
    writer.Reset();
    char byte = 0;
    ASSERT_EQ(::read(reader.Get(), &byte, 1), 1);
    reader.Reset();

    FolderLock lock;
    EXPECT_EQ(lock.Acquire(L".", After(300ms)), FolderLock::Outcome::Stopped);
    ::kill(holder, SIGKILL);
    int status = 0;
    ::waitpid(holder, &status, 0);
    auto killed = Clock::now();
    EXPECT_EQ(lock.Acquire(L".", After(2s)), FolderLock::Outcome::Held);
    EXPECT_LT(Clock::now() - killed, 500ms);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));  // no file of the lock's own
}

TEST(FolderLock, AFolderThatRefusesWritesIsHeldAndAMissingOneIsUnavailable)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder.Path() / "read-only");
    ReadOnlyMount readOnly(folder.Path() / "read-only");
    if (readOnly.Mounted()) {
        FolderLock lock;
        EXPECT_EQ(lock.Acquire(L"read-only", Never()), FolderLock::Outcome::Held);
    }

    FolderLock missing;
    EXPECT_EQ(missing.Acquire(L"missing", Never()), FolderLock::Outcome::Unavailable);
    folder.WriteFile("file", "not a folder");
    FolderLock file;
    EXPECT_EQ(file.Acquire(L"file", Never()), FolderLock::Outcome::Unavailable);
    if (!readOnly.Mounted())
        GTEST_SKIP() << "mounting is not permitted here: the read-only folder was not tried";
}

}  // namespace
