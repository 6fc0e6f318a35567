// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PasswordPrompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace skartina::cli {
namespace {

// The terminal of the process, its echo off until this ends.
class SilentTerminal {
public:
    SilentTerminal() : fd_(open("/dev/tty", O_RDWR | O_CLOEXEC)) {
        if (fd_ < 0) return;
        if (tcgetattr(fd_, &saved_) == 0) {
            termios silent = saved_;
            silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            silent.c_lflag |= ECHONL;
            restore_ = tcsetattr(fd_, TCSAFLUSH, &silent) == 0;
        }
    }
    ~SilentTerminal() {
        if (restore_) tcsetattr(fd_, TCSAFLUSH, &saved_);
        if (fd_ >= 0) close(fd_);
    }
    SilentTerminal(const SilentTerminal&) = delete;
    SilentTerminal& operator=(const SilentTerminal&) = delete;

    bool usable() const { return fd_ >= 0 && restore_; }
    void Write(std::string_view text) const { (void)!write(fd_, text.data(), text.size()); }
    // One line, without its end; false at the end of input.
    bool ReadLine(std::string& line) const {
        line.clear();
        char c = 0;
        for (;;) {
            const ssize_t got = read(fd_, &c, 1);
            if (got <= 0) return !line.empty();
            if (c == '\n' || c == '\r') return true;
            line += c;
        }
    }

private:
    int fd_;
    termios saved_{};
    bool restore_ = false;
};

// The password the environment gave, once taken out of it.
std::string& EnvironmentPassword() {
    static std::string password;
    return password;
}

}  // namespace

void TakePasswordFromEnvironment() {
    const std::string_view name = "SKARTINA_PASSWORD=";
    for (char** entry = environ; entry && *entry; ++entry) {
        if (std::string_view(*entry).substr(0, name.size()) != name) continue;
        char* value = *entry + name.size();
        EnvironmentPassword() = value;
        // Wiped where it lies, so that it shows neither in /proc nor in a core dump.
        std::memset(value, 0, std::strlen(value));
    }
    unsetenv("SKARTINA_PASSWORD");
}

std::string PortalPassword() {
    if (!EnvironmentPassword().empty()) return EnvironmentPassword();
    SilentTerminal terminal;
    if (!terminal.usable())
        throw std::runtime_error("δεν δόθηκε κωδικός πρόσβασης: ορίστε τη μεταβλητή SKARTINA_PASSWORD ή τρέξτε την εντολή από τερματικό");
    terminal.Write("Κωδικός πρόσβασης στην Α.Α.Δ.Ε.: ");
    std::string password;
    if (!terminal.ReadLine(password) || password.empty()) throw std::runtime_error("δεν δόθηκε κωδικός πρόσβασης");
    return password;
}

}  // namespace skartina::cli
