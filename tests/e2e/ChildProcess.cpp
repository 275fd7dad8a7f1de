#include "tests/e2e/ChildProcess.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

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
    // Not reaped before this: the descriptor is of this child.
    // glibc's pidfd_open lacks C linkage in C++ (2.36).
    m_exitWatch.Reset(static_cast<int>(::syscall(SYS_pidfd_open, m_pid, 0)));
    if (!m_exitWatch.IsOpen()) {
        error = errno;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        throw std::runtime_error("cannot watch " + arguments[0] + ": " + std::strerror(error));
    }
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
    while (Running()) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        // Readable once the process has ended.
        pollfd exit = {m_exitWatch.Get(), POLLIN, 0};
        ::poll(&exit, 1, static_cast<int>(left.count()));
    }
    return m_exitCode;
}
