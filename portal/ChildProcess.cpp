#include "portal/ChildProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace skartina {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments, bool captureStdout) {
    int pipeFds[2] = {-1, -1};
    if (captureStdout && pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe: " + std::string(strerror(errno)));

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork: " + std::string(strerror(errno)));
    if (pid_ == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        if (captureStdout) dup2(pipeFds[1], STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    setpgid(pid_, pid_);  // also from here, so that Stop never races the child's own call
    if (captureStdout) {
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

void ChildProcess::Stop() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    for (int i = 0; i < 100 && Running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // Whatever of the group is still there (a child that ignored the request, or a grandchild) is killed.
    kill(-pid_, SIGKILL);
    if (!reaped_) waitpid(pid_, nullptr, 0);
    reaped_ = true;
    pid_ = -1;
}

int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket: " + std::string(strerror(errno)));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        throw std::runtime_error("no free loopback port: " + std::string(strerror(errno)));
    }
    close(fd);
    return ntohs(address.sin_port);
}

}  // namespace skartina
