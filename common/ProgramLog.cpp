// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ProgramLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

namespace skartina {
namespace {

constexpr off_t kMaxLogBytes = 1024 * 1024;

}  // namespace

std::filesystem::path LogFilePath() {
    std::filesystem::path state;
    if (const char* configured = std::getenv("XDG_STATE_HOME"); configured && *configured == '/')
        state = configured;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        state = std::filesystem::path(home) / ".local" / "state";
    else
        return {};
    return state / "skartina" / "skartina.log";
}

void LogLine(std::string_view source, std::string_view text) {
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    try {
        const std::filesystem::path path = LogFilePath();
        if (path.empty()) return;
        // "~/.local", "~/.local/state" and "skartina": each made the owner's alone.
        std::filesystem::path made;
        for (const auto& part : path.parent_path()) {
            made /= part;
            if (::mkdir(made.c_str(), 0700) == 0) ::chmod(made.c_str(), 0700);
        }
        struct stat info {};
        const bool full = ::stat(path.c_str(), &info) == 0 && info.st_size > kMaxLogBytes;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | (full ? O_TRUNC : 0), 0600);
        if (fd < 0) return;
        ::fchmod(fd, 0600);
        char stamp[32] = "";
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        if (localtime_r(&now, &local)) std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
        std::string line = std::string(stamp) + " " + std::string(source) + ": ";
        for (char ch : text) line += static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f ? ' ' : ch;
        while (!line.empty() && line.back() == ' ') line.pop_back();
        line += '\n';
        (void)!::write(fd, line.data(), line.size());
        ::close(fd);
    } catch (...) {
    }
}

}  // namespace skartina
