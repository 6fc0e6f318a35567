// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

namespace skartina {

namespace {

// The environment with the additions, built before the fork: the child may only make async-signal-safe calls.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& additions, bool inherit) {
    std::vector<std::string> entries;
    for (char** entry = environ; inherit && *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('=') + 1);
        const bool replaced = std::any_of(additions.begin(), additions.end(),
                                          [&](const std::string& a) { return a.compare(0, name.size(), name) == 0; });
        if (!replaced) entries.push_back(text);
    }
    entries.insert(entries.end(), additions.begin(), additions.end());
    return entries;
}

}  // namespace

namespace {

ChildOptions Capturing(bool captureStdout) {
    ChildOptions options;
    options.captureStdout = captureStdout;
    return options;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments, bool captureStdout)
    : ChildProcess(program, arguments, Capturing(captureStdout)) {}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments, const ChildOptions& options) {
    int pipeFds[2] = {-1, -1};
    if (options.captureStdout && pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe: " + std::string(strerror(errno)));

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> environment = ChildEnvironment(options.environment, options.inheritEnvironment);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork: " + std::string(strerror(errno)));
    if (pid_ == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, options.deathSignal);
        if (getppid() != parent) _exit(127);
        if (options.captureStdout) dup2(pipeFds[1], STDOUT_FILENO);
        if (options.quiet) {
            const int null = open("/dev/null", O_RDWR);
            if (!options.captureStdout) dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        // Out of the way first, so that no handed descriptor overwrites another before it is moved.
        int moved[16];
        const size_t count = std::min(options.descriptors.size(), std::size(moved));
        for (size_t i = 0; i < count; ++i) moved[i] = fcntl(options.descriptors[i].second, F_DUPFD, 64);
        for (size_t i = 0; i < count; ++i) dup2(moved[i], options.descriptors[i].first);
        int highest = STDERR_FILENO;
        for (size_t i = 0; i < count; ++i) highest = std::max(highest, options.descriptors[i].first);
        close_range(static_cast<unsigned>(highest) + 1, ~0U, 0);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    setpgid(pid_, pid_);  // also from here, so that Stop never races the child's own call
    if (options.captureStdout) {
        close(pipeFds[1]);
        stdout_ = pipeFds[0];
    }
}

ChildProcess::~ChildProcess() {
    Stop();
    if (stdout_ >= 0) close(stdout_);
}

bool ChildProcess::Running() {
    if (reaped_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) reaped_ = true;
    return !reaped_;
}

std::string ChildProcess::ReadLine(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (const size_t end = buffered_.find('\n'); end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (stdout_ < 0 || left.count() <= 0) throw std::runtime_error("no line from the child process in time");
        pollfd fd{stdout_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
        char chunk[512];
        const ssize_t n = read(stdout_, chunk, sizeof chunk);
        if (n <= 0) throw std::runtime_error("the child process ended before writing a line");
        buffered_.append(chunk, static_cast<size_t>(n));
    }
}

void ChildProcess::Stop(int graceMs) {
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    for (int i = 0; i < graceMs / 20 && Running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // Whatever of the group is still there (a child that ignored the request, or a grandchild) is killed.
    kill(-pid_, SIGKILL);
    if (!reaped_) waitpid(pid_, nullptr, 0);
    reaped_ = true;
    pid_ = -1;
}

}  // namespace skartina
