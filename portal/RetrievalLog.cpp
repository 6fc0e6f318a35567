// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/RetrievalLog.h"

#include "common/ClientFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>

namespace skartina {

std::string AddressWithoutQuery(std::string_view address) {
    return std::string(address.substr(0, address.find_first_of("?#")));
}

RetrievalLog::RetrievalLog(PumpClock& clock, std::filesystem::path file)
    : clock_(clock), file_(std::move(file)), start_(clock.NowMs()) {}

void RetrievalLog::Step(std::string_view what, std::string_view address) {
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "+%.3f s", static_cast<double>(clock_.NowMs() - start_) / 1000.0);
    std::string line = std::string(elapsed) + "  " + std::string(what);
    if (!address.empty()) line += "  " + AddressWithoutQuery(address);
    steps_.push_back(std::move(line));
}

bool RetrievalLog::Note(std::string_view detail) {
    if (file_.empty()) return false;
    std::optional<OwnFolder> folder;
    try {
        folder.emplace(MakeClientFolder(file_.parent_path()));
    } catch (const std::exception&) {
        return false;
    }
    // Appended by the owner alone: the file tells which client was retrieved when.
    const int fd = ::openat(folder->fd(), file_.filename().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW,
                            0600);
    if (fd < 0) return false;
    if (::fchmod(fd, 0600) != 0) {
        ::close(fd);
        return false;
    }
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    const std::string line = std::string(stamp) + "  " + std::string(detail) + "\n";
    const bool written = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    ::close(fd);
    return written;
}

}  // namespace skartina
