#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/win/FolderLock.h"
#include "platform/win/Text.h"
#include "tests/support/ReadAll.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestAccess.h"
#include "tests/update/UpdateTestSupport.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kEmptyDigest = "d41d8cd98f00b204e9800998ecf8427e";  // of ""
constexpr const char* kAbcDigest = "900150983cd24fb0d6963f7d28e17f72";    // of "abc"

class ClientUpdateTest : public ::testing::Test {
protected:
    ClientUpdateTest() { TestCertificates::TrustAuthority(); }

    // Runs the client update worker to its end, as the client update window starts it: byte
    // progress off until the summary has been handled.
    void RunUpdate(const std::string& list)
    {
        server.Route("/list/ExecutableFileList.txt", Reply::Body(list));
        RunUpdateWithListReply();
    }
    void RunUpdateWithListReply()
    {
        window.onNotify = [this](const Notification& n) {
            if (n.code == UN_FILE_SUMMARY)
                manager.TurnProgressReportsOn();
        };
        UpdateTestAccess::FileListUrl(manager) = server.WideUrl(L"/list/");
        UpdateTestAccess::PatchUrl(manager) = server.WideUrl(L"/patch/");
        manager.StartWorker(window.hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
        ASSERT_TRUE(RunLoopUntil([&] { return window.Count(UN_FAILED) + window.Count(UN_FILES_DONE) > 0; }));
        WaitForSingleObject(UpdateTestAccess::Thread(manager), INFINITE);
        // A late second UN_FILES_DONE would arrive here.
        for (int i = 0; i < 50; ++i)
            g_main_context_iteration(nullptr, FALSE);
    }

    // Files the runs made for their copy of the list ("_filelist....txt") that are still there.
    int ListCopiesLeft() const
    {
        int left = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            left += entry.path().filename().string().starts_with("_filelist");
        return left;
    }

    TemporaryFolder folder;
    BoxRecorder boxes;
    NotifyRecorder window;
    TestServer server{TestServer::Https};
    CUpdateManager manager;
};

TEST_F(ClientUpdateTest, FetchesWhatIsMissingOrDifferentIntoTheGameFolder)
{
    folder.WriteFile("Zorv_Data/current.dat", "abc");
    folder.WriteFile("Zorv_Data/bin/changed.dll", "old");
    server.Route("/patch/12/Zorv_Data/bin/changed.dll", Reply::Body("new dll"));
    server.Route("/patch/12/Zorv_Data/bin/game$config.ini", Reply::Body("[game]"));
    server.Route("/patch/13/DataSource/maps/arena.pak", Reply::Body(std::string(3000, 'm')));
    std::string list = std::string("current.dat\t12\t") + kAbcDigest + "\t3\r\n" +
                       "bin\\changed.dll\t12\t" + kAbcDigest + "\t7\r\n" +
                       "bin\\game$config.ini\t12\t" + kEmptyDigest + "\t6\r\n" +
                       "..\\DataSource\\maps\\arena.pak\t13\t" + kEmptyDigest + "\t3000\r\n";
    RunUpdate(list);

    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    const Notification& summary = window.received.front();
    EXPECT_EQ(summary.summary.nFileCount, 3u);
    EXPECT_EQ(summary.summary.nTotalSize, 7u + 6u + 3000u);
    // The last per-file report counts every file.
    const Notification* last = nullptr;
    for (const Notification& n : window.received)
        if (n.code == UN_PROGRESS)
            last = &n;
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->progress.nTotalDone, 7u + 6u + 3000u);
    EXPECT_EQ(last->progress.nFileSize, 3000u);
    EXPECT_EQ(last->progress.nFileDone, 3000u);

    EXPECT_EQ(ReadAll(folder.Path() / "Zorv_Data/bin/changed.dll"), "new dll");
    EXPECT_EQ(ReadAll(folder.Path() / "Zorv_Data/bin/game config.ini"), "[game]");
    EXPECT_EQ(ReadAll(folder.Path() / "Data/maps/arena.pak"), std::string(3000, 'm'));
    EXPECT_EQ(server.RequestCount("/patch/12/Zorv_Data/current.dat"), 0u);
    EXPECT_EQ(ListCopiesLeft(), 0);
    EXPECT_TRUE(boxes.Boxes().empty());
    // Folders are ensured up to the first one that exists.
    EXPECT_EQ(UpdateTestAccess::CreatedDirs(manager),
              (std::set<CString>{L"Zorv_Data\\bin", L"Zorv_Data\\..", L"Zorv_Data\\..\\Data",
                                 L"Zorv_Data\\..\\Data\\maps"}));
}

TEST_F(ClientUpdateTest, NothingPendingGivesOneSummaryAndOneDone)
{
    folder.WriteFile("Zorv_Data/a.dat", "abc");
    RunUpdate(std::string("a.dat\t1\t") + kAbcDigest + "\t3\n");
    EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    EXPECT_EQ(window.received[0].summary.nFileCount, 0u);
    EXPECT_EQ(window.received[0].summary.nTotalSize, 0u);
}

TEST_F(ClientUpdateTest, AListThatCannotBeFetchedIsAnEmptyList)
{
    server.Route("/list/ExecutableFileList.txt", Reply::Status(404));
    RunUpdateWithListReply();
    EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    EXPECT_EQ(window.received[0].summary.nFileCount, 0u);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"Http Error: 404, /list/ExecutableFileList.txt");
    EXPECT_EQ(ListCopiesLeft(), 0);
}

TEST_F(ClientUpdateTest, APartialListIsNeverRead)
{
    std::string list = std::string("a.dat\t1\t") + kAbcDigest + "\t3\nb.dat\t1\t" + kAbcDigest + "\t3\n";
    server.Route("/list/ExecutableFileList.txt", Reply::Body(list).CutAfter(20));
    RunUpdateWithListReply();
    EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    EXPECT_EQ(window.received[0].summary.nFileCount, 0u);
    EXPECT_EQ(server.RequestCount("/patch/1/Zorv_Data/a.dat"), 0u);
    EXPECT_EQ(ListCopiesLeft(), 0);
}

TEST_F(ClientUpdateTest, ASecondRunInTheGameFolderWaitsForTheFirstThenFetchesNothing)
{
    // The first run's file pauses after its first byte; the second run starts during the pause.
    server.Route("/list/ExecutableFileList.txt", Reply::Body(std::string("a.dat\t1\t") + kAbcDigest + "\t3\n"));
    server.Route("/patch/1/Zorv_Data/a.dat", Reply::Body("abc").StallAfter(1, 1500ms));
    NotifyRecorder otherWindow;
    CUpdateManager other;
    for (auto [runner, recorder] : {std::pair{&manager, &window}, std::pair{&other, &otherWindow}}) {
        recorder->onNotify = [runner](const Notification& n) {
            if (n.code == UN_FILE_SUMMARY)
                runner->TurnProgressReportsOn();
        };
        UpdateTestAccess::FileListUrl(*runner) = server.WideUrl(L"/list/");
        UpdateTestAccess::PatchUrl(*runner) = server.WideUrl(L"/patch/");
        runner->StartWorker(recorder->hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
        ASSERT_TRUE(RunLoopUntil([&] { return server.RequestCount("/patch/1/Zorv_Data/a.dat") == 1; }));
    }
    auto ended = [](const NotifyRecorder& r) { return r.Count(UN_FAILED) + r.Count(UN_FILES_DONE) > 0; };
    ASSERT_TRUE(RunLoopUntil([&] { return ended(window) && ended(otherWindow); }));
    WaitForSingleObject(UpdateTestAccess::Thread(manager), INFINITE);
    WaitForSingleObject(UpdateTestAccess::Thread(other), INFINITE);

    // The second run asked for its list only once the first was through, and found the file current.
    std::vector<std::string> asked;
    for (const ReceivedRequest& request : server.Requests())
        asked.push_back(request.path);
    EXPECT_EQ(asked, (std::vector<std::string>{"/list/ExecutableFileList.txt", "/patch/1/Zorv_Data/a.dat",
                                               "/list/ExecutableFileList.txt"}));
    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    EXPECT_EQ(window.received.front().summary.nFileCount, 1u);
    EXPECT_EQ(otherWindow.Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    EXPECT_EQ(otherWindow.received.front().summary.nFileCount, 0u);
    EXPECT_EQ(ReadAll(folder.Path() / "Zorv_Data/a.dat"), "abc");
    EXPECT_EQ(ListCopiesLeft(), 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ClientUpdateTest, ListFilesThatNoRunHoldsAreRemovedOnceTheGameFolderIsTaken)
{
    // What runs killed during their list's transfer left, and an older launcher's one list file.
    const std::vector<std::string> stale = {"_filelist.AbC123.txt", "_filelist.zzzzzz.txt", "_filelist.txt"};
    for (const std::string& name : stale)
        folder.WriteFile(name, std::string(458752, 'l'));
    folder.WriteFile("_filelist.notes.txt", "the player's own");
    server.Route("/list/ExecutableFileList.txt", Reply::Body(""));
    UpdateTestAccess::FileListUrl(manager) = server.WideUrl(L"/list/");

    // While another run holds the folder, this one waits without a request and removes nothing.
    auto otherRun = std::make_unique<FolderLock>();
    ASSERT_EQ(otherRun->Acquire(L".", [] { return false; }), FolderLock::Outcome::Held);
    manager.StartWorker(window.hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
    RunLoopFor(1s);
    EXPECT_TRUE(window.received.empty());
    EXPECT_TRUE(server.Requests().empty());
    for (const std::string& name : stale)
        EXPECT_TRUE(std::filesystem::exists(folder.Path() / name)) << name;

    otherRun.reset();
    ASSERT_TRUE(RunLoopUntil([&] { return window.Count(UN_FAILED) + window.Count(UN_FILES_DONE) > 0; }));
    WaitForSingleObject(UpdateTestAccess::Thread(manager), INFINITE);
    EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    for (const std::string& name : stale)
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / name)) << name;
    EXPECT_EQ(ReadAll(folder.Path() / "_filelist.notes.txt"), "the player's own");
    EXPECT_EQ(ListCopiesLeft(), 1);
}

TEST_F(ClientUpdateTest, AGameFolderThatRefusesWritesShowsTheListFilesBoxAndTheListIsEmpty)
{
    std::filesystem::create_directory(folder.Path() / "game");
    ReadOnlyMount readOnly(folder.Path() / "game");
    if (!readOnly.Mounted())
        GTEST_SKIP() << "mounting is not permitted here";
    std::filesystem::current_path(folder.Path() / "game");
    RunUpdate(std::string("a.dat\t1\t") + kAbcDigest + "\t3\n");

    EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    EXPECT_EQ(window.received[0].summary.nFileCount, 0u);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"OpenFile Error: _filelist.XXXXXX.txt");
    EXPECT_EQ(boxes.Boxes()[0].caption, L"OpenFile Exception");
    EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    // A list that could not be kept is not asked for.
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(ClientUpdateTest, TheFirstFailedFileEndsTheUpdate)
{
    server.Route("/patch/1/Zorv_Data/one", Reply::Body("1"));
    server.Route("/patch/1/Zorv_Data/two", Reply::Status(404));
    server.Route("/patch/1/Zorv_Data/three", Reply::Body("3"));
    RunUpdate("one\t1\tx\t1\ntwo\t1\tx\t1\nthree\t1\tx\t1\n");
    std::vector<WPARAM> codes = window.CodesWithoutProgress();
    EXPECT_EQ(codes, (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FAILED}));
    size_t perFile = 0;
    for (const Notification& n : window.received)
        perFile += n.code == UN_PROGRESS && n.progress.nFileDone == 1 && n.progress.nTotalDone >= 1;
    EXPECT_GE(perFile, 1u);
    EXPECT_EQ(server.RequestCount("/patch/1/Zorv_Data/three"), 0u);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Zorv_Data/one"));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"Http Error: 404, /patch/1/Zorv_Data/two");
}

TEST_F(ClientUpdateTest, PathsThatLeaveTheGameFolderAreRefused)
{
    folder.WriteFile("outside.txt", "abc");
    server.Route("/patch/1/Zorv_Data/ok", Reply::Body("ok"));
    server.Route("/patch/1/escape.txt", Reply::Body("evil"));
    server.Route("/patch/1/outside.txt", Reply::Body("evil"));
    std::string list = std::string("ok\t1\tx\t2\n..\\..\\outside.txt\t1\t") + kAbcDigest + "\t3\n";
    RunUpdate(list);
    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FAILED}));
    EXPECT_EQ(window.received[0].summary.nFileCount, 2u);  // not digested, so still pending
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"OpenFile Error: Zorv_Data\\..\\..\\outside.txt");
    EXPECT_EQ(boxes.Boxes()[0].caption, L"OpenFile Exception");
    EXPECT_EQ(ReadAll(folder.Path() / "outside.txt"), "abc");
    EXPECT_EQ(server.RequestCount("/patch/1/outside.txt"), 0u);
    EXPECT_EQ(UpdateTestAccess::CreatedDirs(manager).count(L"Zorv_Data\\..\\.."), 0u);
}

TEST_F(ClientUpdateTest, APathWithANulGetsNoRequest)
{
    server.Route("/patch/1/Zorv_Data/evil", Reply::Body("evil"));
    RunUpdate(std::string("evil\0.txt\t1\tx\t3\n", 16));
    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FAILED}));
    EXPECT_EQ(server.Requests().size(), 1u);  // the list only
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, L"OpenFile Exception");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Zorv_Data"));
}

// "..\DataSource" entries belong in the game folder's own Data folder, however Zorv_Data is kept.
TEST_F(ClientUpdateTest, DataSourceEntriesLandInTheGameFoldersDataWhereverZorvDataLives)
{
    struct Case {
        const char* name;
        bool linkedZorvData;  // else there is no Zorv_Data at all
    } cases[] = {{"Zorv_Data a link to another disk", true}, {"no Zorv_Data folder", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder elsewhere;  // another disk
        TemporaryFolder game;
        if (c.linkedZorvData) {
            std::filesystem::create_directory(elsewhere.Path() / "Zorv_Data");
            std::filesystem::create_directory_symlink(elsewhere.Path() / "Zorv_Data", game.Path() / "Zorv_Data");
        }
        game.WriteFile("Data/maps/current.pak", "abc");
        server.Route("/patch/5/DataSource/maps/new.pak", Reply::Body("new map"));
        server.Route("/patch/5/DataSource/sounds/a.wav", Reply::Body("wave"));
        std::string list = std::string("..\\DataSource\\maps\\current.pak\t5\t") + kAbcDigest + "\t3\n" +
                           "..\\DataSource\\maps\\new.pak\t5\t" + kAbcDigest + "\t7\n" +
                           "..\\DataSource\\sounds\\a.wav\t5\t" + kAbcDigest + "\t4\n";
        NotifyRecorder notified;
        CUpdateManager run;
        server.Route("/list/ExecutableFileList.txt", Reply::Body(list));
        UpdateTestAccess::FileListUrl(run) = server.WideUrl(L"/list/");
        UpdateTestAccess::PatchUrl(run) = server.WideUrl(L"/patch/");
        run.StartWorker(notified.hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
        ASSERT_TRUE(RunLoopUntil([&] { return notified.Count(UN_FAILED) + notified.Count(UN_FILES_DONE) > 0; }));
        WaitForSingleObject(UpdateTestAccess::Thread(run), INFINITE);

        EXPECT_EQ(notified.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
        EXPECT_EQ(notified.received[0].summary.nFileCount, 2u);  // the current one is not fetched
        EXPECT_EQ(server.RequestCount("/patch/5/DataSource/maps/current.pak"), 0u);
        EXPECT_EQ(ReadAll(game.Path() / "Data/maps/new.pak"), "new map");
        EXPECT_EQ(ReadAll(game.Path() / "Data/sounds/a.wav"), "wave");
        // Nothing beside the link's target, and no Zorv_Data made for the way there.
        EXPECT_FALSE(std::filesystem::exists(elsewhere.Path() / "Data"));
        EXPECT_EQ(std::filesystem::exists(game.Path() / "Zorv_Data"), c.linkedZorvData);
        EXPECT_TRUE(boxes.Boxes().empty());
    }
}

TEST_F(ClientUpdateTest, AListBeyondItsLimitsCountsAsEmpty)
{
    constexpr size_t kLongest = CHttpDownloader::kMaxLineBytes;
    std::string games;  // 200,000 files with 100-byte paths
    for (int i = 0; i < 200000; ++i) {
        std::string number = std::to_string(i);
        games += "maps\\" + std::string(100 - 5 - number.size(), 'm') + number + "\t1\t" + kAbcDigest + "\t3\n";
    }
    struct Case {
        const char* name;
        Reply list;
        size_t entries;  // 0: the list is unreadable
    } cases[] = {
        {"200,000 files", Reply::Body(games), 200000},
        {"the longest line", Reply::Body("a\n" + std::string(kLongest, 'x') + "\nb\n"), 3},
        {"a line one byte longer", Reply::Body("a\n" + std::string(kLongest + 1, 'x') + "\nb\n"), 0},
        {"a CR makes it longer", Reply::Body("a\n" + std::string(kLongest, 'x') + "\r\nb\n"), 0},
        {"as many lines as allowed", Reply::Filled(kMaxFileListLines, '\n'), kMaxFileListLines},
        {"one line more", Reply::Filled(kMaxFileListLines + 1, '\n'), 0},
        {"more than 128 MiB", Reply::Repeated(std::string(999, 'x') + "\n", (128ull << 20) + 1000), 0},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t requestsBefore = server.Requests().size();
        TemporaryFolder game;
        NotifyRecorder notified;
        CUpdateManager run;
        server.Route("/list/ExecutableFileList.txt", c.list);
        UpdateTestAccess::FileListUrl(run) = server.WideUrl(L"/list/");
        UpdateTestAccess::PatchUrl(run) = server.WideUrl(L"/patch/");
        run.StartWorker(notified.hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
        ASSERT_TRUE(RunLoopUntil([&] { return notified.Count(UN_FAILED) + notified.Count(UN_FILES_DONE) > 0; }, 120s));
        WaitForSingleObject(UpdateTestAccess::Thread(run), INFINITE);
        ASSERT_FALSE(notified.received.empty());
        EXPECT_EQ(notified.received[0].code, UN_FILE_SUMMARY);
        EXPECT_EQ(notified.received[0].summary.nFileCount, c.entries);
        if (c.entries == 0) {
            EXPECT_EQ(notified.Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
            EXPECT_EQ(server.Requests().size() - requestsBefore, 1u);  // the list only
        }
    }
}

TEST_F(ClientUpdateTest, PathsTooLongForTheFileSystemAreRefusedBeforeAnyFolder)
{
    auto folders = [](int depth) {
        std::string path;
        for (int i = 0; i < depth; ++i)
            path += "d\\";
        return path;
    };
    // "Zorv_Data\" and 2,040 folders: 4,091 bytes, within the 4,095 a path may have.
    std::string deepest = folders(2040) + "f";
    std::string served = "/patch/1/Zorv_Data/" + deepest;
    std::replace(served.begin(), served.end(), '\\', '/');
    server.Route(served, Reply::Body("deep"));
    struct Case {
        const char* name;
        std::string listed;
        bool refused;
    } cases[] = {
        {"30,000 folders deep", folders(30000) + "f", true},
        {"a name of 256 bytes", "a\\" + std::string(256, 'n'), true},
        {"one folder too deep", folders(2043) + "f", true},
        {"as deep as the file system goes", deepest, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t requestsBefore = server.Requests().size();
        size_t boxesBefore = boxes.Boxes().size();
        TemporaryFolder game;
        NotifyRecorder notified;
        CUpdateManager run;
        server.Route("/list/ExecutableFileList.txt", Reply::Body(c.listed + "\t1\tx\t4\n"));
        UpdateTestAccess::FileListUrl(run) = server.WideUrl(L"/list/");
        UpdateTestAccess::PatchUrl(run) = server.WideUrl(L"/patch/");
        DWORD started = timeGetTime();
        run.StartWorker(notified.hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
        ASSERT_TRUE(RunLoopUntil([&] { return notified.Count(UN_FAILED) + notified.Count(UN_FILES_DONE) > 0; }));
        EXPECT_LT(timeGetTime() - started, 5000u);
        WaitForSingleObject(UpdateTestAccess::Thread(run), INFINITE);
        if (c.refused) {
            EXPECT_EQ(notified.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FAILED}));
            EXPECT_EQ(server.Requests().size() - requestsBefore, 1u);  // the list only
            ASSERT_EQ(boxes.Boxes().size(), boxesBefore + 1);
            EXPECT_EQ(boxes.Boxes().back().caption, L"OpenFile Exception");
            EXPECT_FALSE(std::filesystem::exists(game.Path() / "Zorv_Data"));
        } else {
            EXPECT_EQ(notified.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
            std::string local = "Zorv_Data/" + deepest;
            std::replace(local.begin(), local.end(), '\\', '/');
            EXPECT_EQ(ReadAll(local), "deep");  // relative: the whole path would be too long
        }
    }

    // Folder making itself refuses such a path, at the cost of reading it once.
    CUpdateManager direct;
    DWORD started = timeGetTime();
    direct.EnsureDirectory(CString(L"Zorv_Data\\") + Utf8ToWide(folders(30000)).c_str());
    EXPECT_LT(timeGetTime() - started, 1000u);
    EXPECT_TRUE(UpdateTestAccess::CreatedDirs(direct).empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Zorv_Data"));
}

TEST_F(ClientUpdateTest, TheListFollowsItsTextRules)
{
    // A blank line and a trailing line end make entries with an empty path; 0x1A ends the text.
    std::string list = std::string("\xef\xbb\xbf") + "bom.dat\t1\tx\t5\n\nafter\t1\tx\t6\n\n\x1a" "hidden\t1\tx\t7\n";
    server.Route("/patch/1/Zorv_Data/after", Reply::Body("a"));
    RunUpdate(list);
    ASSERT_FALSE(window.received.empty());
    EXPECT_EQ(window.received[0].summary.nFileCount, 4u);
    EXPECT_EQ(window.received[0].summary.nTotalSize, 5u + 0u + 6u + 0u);
    EXPECT_EQ(window.received.back().code, UN_FAILED);  // the BOM path is not on the server
}

TEST_F(ClientUpdateTest, TheDestructorWaitsForAWorkerHeldInABox)
{
    // The box stays open until the main loop releases it, 300 ms after the destructor starts waiting.
    std::mutex mutex;
    std::condition_variable closed;
    bool release = false;
    std::atomic<bool> shown = false;
    auto previous = SetMessageBoxPresenter([&](HWND, const std::wstring&, const std::wstring&, UINT) {
        shown = true;
        std::unique_lock lock(mutex);
        closed.wait(lock, [&] { return release; });
        return IDOK;
    });
    server.Route("/list/ExecutableFileList.txt", Reply::Status(500));
    std::unique_ptr<CUpdateManager> held = std::make_unique<CUpdateManager>();
    UpdateTestAccess::FileListUrl(*held) = server.WideUrl(L"/list/");
    held->StartWorker(window.hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
    // Once the box shows: before it, the destructor would end the request itself.
    ASSERT_TRUE(RunLoopUntil([&] { return shown.load(); }));
    auto releaseLater = [&] {
        std::lock_guard lock(mutex);
        release = true;
        closed.notify_all();
    };
    g_timeout_add(300, [](gpointer data) -> gboolean {
        (*static_cast<decltype(releaseLater)*>(data))();
        return G_SOURCE_REMOVE;
    }, &releaseLater);
    DWORD started = timeGetTime();
    held.reset();
    EXPECT_GE(timeGetTime() - started, 250u);
    SetMessageBoxPresenter(previous);
}

// The reports sent after each file, without the byte progress of the transfers.
std::vector<UpdateProgressInfo> PerFileReports(const NotifyRecorder& window)
{
    std::vector<UpdateProgressInfo> reports;
    for (const Notification& n : window.received)
        if (n.code == UN_PROGRESS)
            reports.push_back(n.progress);
    return reports;
}

TEST_F(ClientUpdateTest, TheDoneCountFollowsTheServedLengthAndANegativeSizeIsZero)
{
    server.Route("/patch/1/Zorv_Data/neg", Reply::Body("nn"));
    server.Route("/patch/1/Zorv_Data/pos", Reply::Body("pppp"));
    UpdateTestAccess::DropProgressCallback(manager);
    RunUpdate("neg\t1\tx\t-5\npos\t1\tx\t3\n");
    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    EXPECT_EQ(window.received[0].summary.nFileCount, 2u);
    EXPECT_EQ(window.received[0].summary.nTotalSize, 3u);
    std::vector<UpdateProgressInfo> reports = PerFileReports(window);
    ASSERT_EQ(reports.size(), 2u);
    // nTotalSize, nTotalDone, nFileSize, nFileDone
    EXPECT_EQ(std::tie(reports[0].nTotalSize, reports[0].nTotalDone, reports[0].nFileSize, reports[0].nFileDone),
              std::make_tuple(3ull, 2ull, 0ull, 0ull));
    EXPECT_EQ(std::tie(reports[1].nTotalSize, reports[1].nTotalDone, reports[1].nFileSize, reports[1].nFileDone),
              std::make_tuple(3ull, 6ull, 3ull, 3ull));
}

TEST_F(ClientUpdateTest, ACapitalLetterDigestNeverMatches)
{
    std::string upper = kAbcDigest;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    folder.WriteFile("Zorv_Data/lower.dat", "abc");
    folder.WriteFile("Zorv_Data/upper.dat", "abc");
    server.Route("/patch/1/Zorv_Data/upper.dat", Reply::Body("abc"));
    RunUpdate(std::string("lower.dat\t1\t") + kAbcDigest + "\t3\nupper.dat\t1\t" + upper + "\t3\n");
    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    EXPECT_EQ(window.received[0].summary.nFileCount, 1u);
    EXPECT_EQ(server.RequestCount("/patch/1/Zorv_Data/upper.dat"), 1u);
    EXPECT_EQ(server.RequestCount("/patch/1/Zorv_Data/lower.dat"), 0u);
}

TEST_F(ClientUpdateTest, AFailedFileGetsNoReportOfItsOwn)
{
    server.Route("/patch/1/Zorv_Data/one", Reply::Body("1"));
    server.Route("/patch/1/Zorv_Data/two", Reply::Status(404));
    UpdateTestAccess::DropProgressCallback(manager);
    RunUpdate("one\t1\tx\t100\ntwo\t1\tx\t100\n");
    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FAILED}));
    std::vector<UpdateProgressInfo> reports = PerFileReports(window);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].nTotalDone, 1u);
    EXPECT_EQ(reports[0].nFileDone, 100u);
}

TEST_F(ClientUpdateTest, AStopDuringTheDigestOfALargeFileEndsItAtOnce)
{
    // 16 GiB of a sparse file take many seconds to digest; the flag is cleared 300 ms after the
    // list was asked for, while the digest runs.
    std::filesystem::resize_file(folder.WriteFile("Zorv_Data/huge.dat", ""), 16ull << 30);
    server.Route("/list/ExecutableFileList.txt", Reply::Body("huge.dat\t1\tx\t1\n"));
    UpdateTestAccess::FileListUrl(manager) = server.WideUrl(L"/list/");
    manager.StartWorker(window.hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
    ASSERT_TRUE(RunLoopUntil([&] { return server.RequestCount("/list/ExecutableFileList.txt") == 1; }));
    RunLoopFor(std::chrono::milliseconds(300));
    UpdateTestAccess::Running(manager) = 0;
    DWORD cleared = timeGetTime();
    ASSERT_TRUE(RunLoopUntil([&] { return window.Count(UN_FAILED) > 0; }));
    EXPECT_LT(timeGetTime() - cleared, 1000u);
    WaitForSingleObject(UpdateTestAccess::Thread(manager), INFINITE);
}

TEST_F(ClientUpdateTest, AStopDuringVerificationEndsItAtTheNextFile)
{
    // 600 entries of one 4 MiB file take seconds to digest; the flag is cleared 600 ms after the
    // list was asked for.
    folder.WriteFile("Zorv_Data/big.dat", std::string(4 * 1024 * 1024, 'b'));
    std::string list;
    for (int i = 0; i < 600; ++i)
        list += "big.dat\t1\tx\t1\n";
    server.Route("/list/ExecutableFileList.txt", Reply::Body(list));
    UpdateTestAccess::FileListUrl(manager) = server.WideUrl(L"/list/");
    manager.StartWorker(window.hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
    ASSERT_TRUE(RunLoopUntil([&] { return server.RequestCount("/list/ExecutableFileList.txt") == 1; }));
    const auto clearAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    RunLoopUntil([&] { return std::chrono::steady_clock::now() >= clearAt; });
    UpdateTestAccess::Running(manager) = 0;
    DWORD cleared = timeGetTime();
    ASSERT_TRUE(RunLoopUntil([&] { return window.Count(UN_FAILED) > 0; }));
    EXPECT_LT(timeGetTime() - cleared, 1000u);
    WaitForSingleObject(UpdateTestAccess::Thread(manager), INFINITE);
    EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FAILED}));
    // Every entry is left; only those verified before the stop are counted.
    EXPECT_EQ(window.received[0].summary.nFileCount, 600u);
    EXPECT_GT(window.received[0].summary.nTotalSize, 0u);
    EXPECT_LT(window.received[0].summary.nTotalSize, 600u);
}

TEST_F(ClientUpdateTest, VerificationTakesTimeInProportionToTheEntries)
{
    // Entries naming 100 current files, every tenth one a missing file. Ten times the entries take
    // about ten times as long; dropping the current ones one at a time would take about a hundred
    // times as long.
    for (int i = 0; i < 100; ++i)
        folder.WriteFile("Zorv_Data/f" + std::to_string(i), "abc");
    auto entries = [](size_t count) {
        std::vector<FileListEntry> list;
        for (size_t i = 0; i < count; ++i) {
            bool missing = i % 10 == 0;
            std::string name = missing ? "missing" + std::to_string(i) : "f" + std::to_string(i % 100);
            std::string size = missing ? std::to_string(i) : "1000000";
            list.push_back(FileListEntry::Parse(Utf8ToWide(name + "\t1\t" + kAbcDigest + "\t" + size)));
        }
        return list;
    };
    UpdateTestAccess::Prepare(manager, window.hwnd);
    auto seconds = [&](std::vector<FileListEntry>& list, ULONGLONG& total) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(manager.VerifyLocalFiles(list, total));
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    constexpr size_t kFew = 20000;
    constexpr size_t kMany = 200000;
    double few = 1e300;
    for (int round = 0; round < 2; ++round) {  // the first round warms the caches
        std::vector<FileListEntry> list = entries(kFew);
        ULONGLONG total = 0;
        few = std::min(few, seconds(list, total));
    }
    std::vector<FileListEntry> list = entries(kMany);
    ULONGLONG total = 0;
    double many = seconds(list, total);
    EXPECT_LT(many, 30 * few) << "20,000 entries: " << few << " s, 200,000: " << many << " s";

    // The missing ones stay, in their order, and only they are counted.
    ASSERT_EQ(list.size(), kMany / 10);
    size_t inPlace = 0;
    while (inPlace < list.size() && list[inPlace].strPath == "missing" + std::to_string(inPlace * 10))
        ++inPlace;
    EXPECT_EQ(inPlace, list.size());
    EXPECT_EQ(total, 10 * (list.size() - 1) * list.size() / 2);
}

}  // namespace
