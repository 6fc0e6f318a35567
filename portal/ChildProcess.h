#pragma once
// A helper program run as a child in a process group of its own, so that it
// and everything it starts (chromedriver and its Chromium) are stopped
// together. The child is also told to end should this program die first.

#include <string>
#include <sys/types.h>
#include <vector>

namespace skartina {

class ChildProcess {
public:
    // Starts the program with the arguments; with captureStdout its output can be read line by line.
    // Throws std::runtime_error when it cannot be started.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments, bool captureStdout = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool Running();
    // One line of the child's output (without the line end), waiting up to the time; throws on time-out or end.
    std::string ReadLine(int timeoutMs);
    // Asks the group to end, then kills what is left after a grace period; waits for the child.
    void Stop();

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    std::string buffered_;
    bool reaped_ = false;
};

// A loopback TCP port that was free a moment ago.
int FreeLoopbackPort();

}  // namespace skartina
