#include "tests/e2e/ChildProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <stdexcept>
#include <thread>

namespace {

std::vector<char*> Pointers(const std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (const std::string& text : texts)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

int ExitCode(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    int error = posix_spawn(&m_pid, argv[0], nullptr, nullptr, argv.data(), envp.data());
    if (error != 0)
        throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(error));
}

ChildProcess::~ChildProcess()
{
    if (Running()) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
}

bool ChildProcess::Running()
{
    if (m_exitCode)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) != m_pid)
        return true;
    m_exitCode = ExitCode(status);
    return false;
}

void ChildProcess::Signal(int number)
{
    if (Running())
        ::kill(m_pid, number);
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (Running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return m_exitCode;
}
