// A program a test starts with an environment of its own. The destructor kills it (SIGKILL)
// when it still runs and reaps it, so no test leaves a process behind.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/UniqueDescriptor.h"

class ChildProcess {
public:
    // arguments[0] is the program's path; environment holds "NAME=value" texts.
    ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    pid_t Pid() const { return m_pid; }
    bool Running();
    // Sends the signal (SIGTERM, SIGKILL, ...) while it runs.
    void Signal(int number);
    // The exit code (128 + signal number for a killed process) once it has ended within the
    // limit; nothing while it still runs.
    std::optional<int> WaitForExit(std::chrono::milliseconds limit);

private:
    pid_t m_pid = -1;
    UniqueDescriptor m_exitWatch;  // a pidfd
    std::optional<int> m_exitCode;
};
