// ShellExecuteW against real files, a real program and the desktop's (recording) default
// application; the Windows argument rules as a table.
#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/win/FileSystem.h"
#include "platform/win/Shell.h"
#include "platform/win/Text.h"
#include "platform/win/UniqueDescriptor.h"
#include "tests/platform/win/DesktopRecorder.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TemporaryFolder.h"

namespace {

DesktopRecorder* g_desktop = nullptr;

class DesktopEnvironment : public ::testing::Environment {
public:
    void SetUp() override { g_desktop = new DesktopRecorder; }
    void TearDown() override { delete g_desktop; }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

bool Succeeded(HINSTANCE result)
{
    return reinterpret_cast<std::intptr_t>(result) > 32;
}

int Code(HINSTANCE result)
{
    return static_cast<int>(reinterpret_cast<std::intptr_t>(result));
}

template <class Done>
bool WaitFor(Done done)
{
    for (int i = 0; i < 500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// This process's children that have ended and wait to be reaped, after the main loop has run.
int UnreapedChildren()
{
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    int unreaped = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream children(task.path() / "children");
        for (int child = 0; children >> child;) {
            // "pid (name) state ...": the state follows the last parenthesis.
            const std::string stat = ReadAll("/proc/" + std::to_string(child) + "/stat");
            const std::size_t close = stat.rfind(')');
            unreaped += close != std::string::npos && stat.compare(close, 3, ") Z") == 0;
        }
    }
    return unreaped;
}

mode_t ModeOf(const std::filesystem::path& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST(SplitCommandLineArguments, FollowsTheWindowsRules)
{
    struct SplitCase {
        const wchar_t* text;
        std::vector<std::wstring> arguments;
    };
    const SplitCase cases[] = {
        {L"", {}},
        {L"  \t ", {}},
        {L"\"abc\" d e", {L"abc", L"d", L"e"}},
        {L"a\\\\\\b d\"e f\"g h", {L"a\\\\\\b", L"de fg", L"h"}},
        {L"a\\\\\\\"b c d", {L"a\\\"b", L"c", L"d"}},
        {L"a\\\\\\\\\"b c\" d e", {L"a\\\\b c", L"d", L"e"}},
        {L"a \"\" b", {L"a", L"", L"b"}},
        {L"a\"b\"\" c d", {L"ab\"", L"c", L"d"}},
        {L"\"\"\"x\"\"\"", {L"\"x\""}},
        {L"\"unclosed arg", {L"unclosed arg"}},
        // The game's parameters: the directory ends in a backslash before the closing quote.
        {L"\"param\" \"/opt/zorv\\\\\"", {L"param", L"/opt/zorv\\"}},
        {L"\"中文 参数\" x", {L"中文 参数", L"x"}},
    };
    for (const SplitCase& row : cases)
        EXPECT_EQ(SplitCommandLineArguments(row.text), row.arguments) << "text: " << testing::PrintToString(row.text);
}

TEST(ShellExecuteW, RunsAnExeWithoutItsRunBitWithSplitArgumentsInTheCurrentDirectory)
{
    TemporaryFolder folder;
    // The script also tells whether it inherited a descriptor of the launcher's.
    constexpr int kLauncherDescriptor = 57;
    std::filesystem::path program = folder.WriteFile(
        "bin/game.exe", "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done;\n"
                        "  test -e /proc/$$/fd/57 && echo inherited; } > ran.tmp\n"
                        "mv ran.tmp ran.txt\n");
    chmod(program.c_str(), 0644);
    UniqueDescriptor nullDevice(::open("/dev/null", O_RDONLY));
    UniqueDescriptor launchers(dup2(nullDevice.Get(), kLauncherDescriptor));
    ASSERT_EQ(launchers.Get(), kLauncherDescriptor);
    nullDevice.Reset();

    HINSTANCE result = ShellExecuteW(nullptr, L"open", L"bin\\game.exe", L"\"a b\" c\\\"d \"\" $(id) ;x", nullptr,
                                     SW_SHOWNORMAL);
    launchers.Reset();
    ASSERT_TRUE(Succeeded(result)) << Code(result);
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(folder.Path() / "ran.txt"); }));
    std::ifstream ran(folder.Path() / "ran.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(ran, line);)
        lines.push_back(line);
    std::vector<std::string> expected = {std::filesystem::canonical(folder.Path()).string(), "[a b]", "[c\"d]", "[]",
                                         "[$(id)]", "[;x]"};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(ModeOf(program), 0755u);
}

TEST(ShellExecuteW, RunsWhatTheKernelExecutesAndRefusesOtherFilesWithoutAShell)
{
    TemporaryFolder folder;
    // Each would leave its mark if a shell ran it.
    const std::string mark = "touch shell-ran.txt\n";
    const struct {
        const char* name;
        std::string content;
        mode_t mode;  // kept
    } refused[] = {
        {"text.exe", mark, 0644},
        {"empty.exe", "", 0644},
        {"runnable text.exe", mark, 0755},  // the kernel's own refusal
        {"runnable empty.exe", "", 0755},
    };
    for (const auto& file : refused) {
        std::filesystem::path path = folder.WriteFile(file.name, file.content);
        chmod(path.c_str(), file.mode);
        EXPECT_EQ(Code(ShellExecuteW(nullptr, L"open", Utf8ToWide(file.name).c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
                  ERROR_BAD_FORMAT)
            << file.name;
        EXPECT_EQ(ModeOf(path), file.mode) << file.name;
    }

    // A real program of this system still runs, and the main loop reaps it when it has ended.
    std::filesystem::copy_file("/usr/bin/touch", folder.Path() / "touch.exe");
    ASSERT_TRUE(Succeeded(ShellExecuteW(nullptr, L"open", L"touch.exe", L"program-ran.txt", nullptr, SW_SHOWNORMAL)));
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(folder.Path() / "program-ran.txt"); }));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "shell-ran.txt"));
    EXPECT_TRUE(WaitFor([] { return UnreapedChildren() == 0; }));
}

TEST(ShellExecuteW, GivesTheRunBitOnlyToAProgramInTheCurrentFolderOrBesideTheRunningOne)
{
    TemporaryFolder elsewhere;
    TemporaryFolder folder;  // the current folder from here on
    const std::string program = ReadAll("/usr/bin/touch");
    const std::string script = "#!/bin/sh\ntouch \"$1\"\n";
    const std::string text = "touch \"$1\"\n";
    enum class Started { Itself, ThroughALinkInside, ThroughALinkOut, InALinkedFolder, BesideTheRunningProgram };
    const struct {
        const char* name;
        std::string content;
        Started started;
        int refusal;  // 0: it runs
        mode_t mode;  // of the file afterwards
    } cases[] = {
        {"a downloaded program", program, Started::Itself, 0, 0755},
        {"a downloaded script", script, Started::Itself, 0, 0755},
        {"a script linked from the folder", script, Started::ThroughALinkInside, 0, 0755},
        {"a text", text, Started::Itself, ERROR_BAD_FORMAT, 0644},
        {"an empty file", "", Started::Itself, ERROR_BAD_FORMAT, 0644},
        {"a text elsewhere", text, Started::ThroughALinkOut, ERROR_BAD_FORMAT, 0644},
        {"a script elsewhere", script, Started::ThroughALinkOut, SE_ERR_ACCESSDENIED, 0644},
        {"a program elsewhere", program, Started::ThroughALinkOut, SE_ERR_ACCESSDENIED, 0644},
        {"a program in a linked folder", program, Started::InALinkedFolder, SE_ERR_ACCESSDENIED, 0644},
        {"a new version of the running program", script, Started::BesideTheRunningProgram, 0, 0755},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = "case" + std::to_string(++number);
        std::filesystem::path file;
        std::wstring started = L"Zorv.exe";
        std::filesystem::remove("Zorv.exe");
        switch (c.started) {
        case Started::Itself:
            file = folder.WriteFile("Zorv.exe", c.content);
            break;
        case Started::ThroughALinkInside:
            file = folder.WriteFile("bin/" + name, c.content);
            std::filesystem::create_symlink("bin/" + name, "Zorv.exe");
            break;
        case Started::ThroughALinkOut:
            file = elsewhere.WriteFile(name, c.content);
            std::filesystem::create_symlink(file, "Zorv.exe");
            break;
        case Started::InALinkedFolder:
            file = elsewhere.WriteFile(name + "/Zorv.exe", c.content);
            std::filesystem::create_directory_symlink(file.parent_path(), name);
            started = Utf8ToWide(name) + L"\\Zorv.exe";
            break;
        case Started::BesideTheRunningProgram:
            file = std::filesystem::path(GetModuleFilePath()).parent_path() / (name + "_update.exe");
            std::ofstream(file, std::ios::binary) << c.content;
            started = file.wstring();
            break;
        }
        ASSERT_EQ(chmod(file.c_str(), 0644), 0);
        const std::string mark = name + ".ran";
        HINSTANCE result = ShellExecuteW(nullptr, L"open", started.c_str(), Utf8ToWide(mark).c_str(), nullptr,
                                         SW_SHOWNORMAL);
        if (c.refusal == 0) {
            EXPECT_TRUE(Succeeded(result)) << Code(result);
            EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(mark); }));
        } else {
            EXPECT_EQ(Code(result), c.refusal);
        }
        EXPECT_EQ(ModeOf(file), c.mode);
        if (c.started == Started::BesideTheRunningProgram)
            std::filesystem::remove(file);
    }
    EXPECT_TRUE(WaitFor([] { return UnreapedChildren() == 0; }));
}

TEST(ShellExecuteW, FailsForWhatItCannotOpen)
{
    TemporaryFolder folder;
    folder.WriteFile("notes.txt", "text");
    folder.WriteFile("folder.exe/inside.txt", "text");
    EXPECT_EQ(Code(ShellExecuteW(nullptr, L"open", L"missing.exe", nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_FNF);
    EXPECT_EQ(Code(ShellExecuteW(nullptr, L"open", nullptr, nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_FNF);
    EXPECT_EQ(Code(ShellExecuteW(nullptr, L"open", L"", nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_FNF);
    EXPECT_EQ(Code(ShellExecuteW(nullptr, L"print", L"notes.txt", nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_NOASSOC);
    EXPECT_EQ(Code(ShellExecuteW(nullptr, L"open", L".", nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_FNF);
    EXPECT_EQ(Code(ShellExecuteW(nullptr, L"open", L"folder.exe", nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_FNF);
}

TEST(ShellExecuteW, WebAddressesAndOtherFilesGoToTheDefaultApplicationAsOneArgument)
{
    TemporaryFolder folder;
    std::filesystem::path notes = folder.WriteFile("notes.txt", "text");
    g_desktop->Clear();
    const wchar_t* address = L"HTTPS://127.0.0.1/a?x=1&y=$(id);z";
    ASSERT_TRUE(Succeeded(ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL)));
    ASSERT_TRUE(WaitFor([&] { return g_desktop->Starts().size() == 1; }));
    ASSERT_TRUE(Succeeded(ShellExecuteW(nullptr, nullptr, L"notes.txt", nullptr, nullptr, SW_SHOWNORMAL)));
    ASSERT_TRUE(WaitFor([&] { return g_desktop->Starts().size() == 2; }));
    std::vector<std::string> starts = g_desktop->Starts();
    EXPECT_EQ(starts[0], "1:HTTPS://127.0.0.1/a?x=1&y=$(id);z");
    EXPECT_EQ(starts[1], "1:" + notes.string());
}

}  // namespace
