// CefExecuteProcess in a process of its own, started with the command line of each case.
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>
#include <vector>

namespace {

struct RoleCase {
    std::vector<std::string> arguments;
    int exitCode;
    std::string seen;  // what the application object was shown
};

TEST(CefExecuteProcess, OnlyATypeSwitchTakesTheSubProcessRoad)
{
    const RoleCase cases[] = {
        {{}, 99, ""},
        {{"page.html"}, 99, ""},
        {{"--type=renderer"}, 0, "renderer --type=renderer --disable-extensions"},
        {{"--x", "--type=gpu-process"}, 0, "gpu-process --x --type=gpu-process --disable-extensions"},
        {{"--type"}, 0, " --type --disable-extensions"},
    };
    for (const RoleCase& row : cases) {
        std::vector<char*> argv = {const_cast<char*>(ZORV_PROCESS_ROLE_PROBE)};
        for (const std::string& argument : row.arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        char* output = nullptr;
        int status = 0;
        GError* error = nullptr;
        ASSERT_TRUE(g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, &output, nullptr,
                                 &status, &error))
            << (error ? error->message : "");
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), row.exitCode) << row.seen;
        EXPECT_EQ(std::string(output), row.seen);
        g_free(output);
    }
}

}  // namespace
