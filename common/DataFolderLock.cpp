// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DataFolderLock.h"

#include "common/TextFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

namespace skartina {
namespace {

std::filesystem::path LockFile(const std::filesystem::path& folder) { return folder / kDataFolderLockName; }

int OpenLockFile(const std::filesystem::path& file, int flags) {
    // Never through a link, never inherited by a browser or an installer the holder starts.
    return ::open(file.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
}

}  // namespace

std::optional<DataFolderLock> DataFolderLock::Take(const std::filesystem::path& folder, std::string_view holder) {
    const std::filesystem::path file = LockFile(folder);
    const int fd = OpenLockFile(file, O_RDWR | O_CREAT);
    if (fd < 0) throw FileError("Το αρχείο «" + file.string() + "» δεν ανοίγει: " + SystemReason(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) return std::nullopt;
        throw FileError("Το αρχείο «" + file.string() + "» δεν κλειδώνει: " + SystemReason(err));
    }
    const std::string text = std::string(holder) + ", διεργασία " + std::to_string(::getpid()) + "\n";
    // What the file says is only for the message of the one refused: a failure here changes nothing.
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, text.data(), text.size(), 0);
    }
    return DataFolderLock(fd, folder);
}

std::string DataFolderLock::HolderOf(const std::filesystem::path& folder) {
    // Read without locking: a reader's lock, however short, would refuse a writer starting at that moment.
    const int fd = OpenLockFile(LockFile(folder), O_RDONLY);
    std::string text;
    if (fd >= 0) {
        char buffer[256];
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, 0);
        if (got > 0) text.assign(buffer, static_cast<size_t>(got));
        ::close(fd);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    // Only what a holder writes: one line of text, no control characters.
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return text.empty() ? "άλλο πρόγραμμα" : text;
}

DataFolderLock::DataFolderLock(DataFolderLock&& other) noexcept : fd_(other.fd_), folder_(std::move(other.folder_)) {
    other.fd_ = -1;
}

DataFolderLock& DataFolderLock::operator=(DataFolderLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        folder_ = std::move(other.folder_);
        other.fd_ = -1;
    }
    return *this;
}

DataFolderLock::~DataFolderLock() {
    // Closing the last descriptor releases the lock; the file stays for the next holder.
    if (fd_ >= 0) ::close(fd_);
}

std::string FolderInUseSentence(const std::filesystem::path& folder, const std::string& holder,
                                const std::string& waitWhat) {
    return "Ο φάκελος δεδομένων «" + folder.string() + "» χρησιμοποιείται ήδη από " +
           (holder.empty() ? std::string("άλλο πρόγραμμα") : holder) + ": " + waitWhat;
}

}  // namespace skartina
