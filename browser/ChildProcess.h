// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A helper program run as a child in a process group of its own, so that it
// and everything it starts are stopped together. The child is also told to
// end should this program die first.

#include <csignal>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace skartina {

struct ChildOptions {
    // The child's output can be read line by line (ReadLine).
    bool captureStdout = false;
    // Standard output and error go nowhere (a chatty program, such as a browser).
    bool quiet = false;
    // Descriptors handed to the child: {descriptor in the child, descriptor here}.
    // Every other descriptor but 0, 1 and 2 is closed in the child.
    std::vector<std::pair<int, int>> descriptors;
    // "NAME=value" entries added to (or replacing those of) this program's
    // environment; with inheritEnvironment false, the child's whole environment.
    std::vector<std::string> environment;
    bool inheritEnvironment = true;
    // The signal the child gets when the thread that started it ends.
    int deathSignal = SIGTERM;
};

class ChildProcess {
public:
    // Starts the program with the arguments. Throws std::runtime_error when it cannot be started.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments, bool captureStdout = false);
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments, const ChildOptions& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool Running();
    // One line of the child's output (without the line end), waiting up to the time; throws on time-out or end.
    std::string ReadLine(int timeoutMs);
    // Asks the group to end, then kills what is left after a grace period; waits for the child.
    void Stop(int graceMs = 2000);

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    std::string buffered_;
    bool reaped_ = false;
};

}  // namespace skartina
