// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/OwnFolder.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace skartina {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

[[noreturn]] void Refuse(const std::filesystem::path& path, const std::string& reason) {
    throw FileError("Ο φάκελος «" + path.string() + "» δεν χρησιμοποιείται: " + reason + ".");
}

// Why the entry in the folder's place is not a folder to open.
std::string KindReason(int parent, const char* name, int err) {
    struct stat st {};
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(st.st_mode)) return "είναι σύνδεσμος (symlink), όχι πραγματικός φάκελος";
        if (!S_ISDIR(st.st_mode)) return "δεν είναι φάκελος";
    }
    return SystemReason(err);
}

}  // namespace

std::string ForeignFolderReason(unsigned ownerUid, unsigned mode) {
    if (ownerUid != ::geteuid()) return "ανήκει σε άλλον χρήστη (UID " + std::to_string(ownerUid) + ")";
    if (mode & 022) {
        char octal[8];
        std::snprintf(octal, sizeof octal, "%04o", mode & 07777);
        return std::string("μπορούν να γράψουν σε αυτόν και άλλοι χρήστες (δικαιώματα ") + octal + ")";
    }
    return {};
}

std::optional<OwnFolder> OwnFolder::OpenAt(int parent, const std::filesystem::path& path, const char* name, bool create,
                                           Narrowing narrowing) {
    FolderChange change = FolderChange::None;
    int fd = ::openat(parent, name, kFolderFlags);
    if (fd < 0 && errno == ENOENT) {
        if (!create) return std::nullopt;
        if (::mkdirat(parent, name, 0700) == 0) change = FolderChange::Created;
        else if (errno != EEXIST) Refuse(path, SystemReason(errno));
        fd = ::openat(parent, name, kFolderFlags);
    }
    if (fd < 0) Refuse(path, KindReason(parent, name, errno));
    OwnFolder folder(fd, path, change);
    struct stat st {};
    if (::fstat(fd, &st) != 0) Refuse(path, SystemReason(errno));
    if (const std::string reason = ForeignFolderReason(st.st_uid, st.st_mode); !reason.empty()) Refuse(path, reason);
    // Made with the umask taken off, or open to others' reading: the owner's alone.
    const bool narrow = change == FolderChange::Created ? (st.st_mode & 07777) != 0700
                                                        : narrowing == Narrowing::Narrow && (st.st_mode & 077) != 0;
    if (narrow) {
        if (::fchmod(fd, (st.st_mode & 07700) | 0700) != 0) Refuse(path, SystemReason(errno));
        if (change == FolderChange::None) folder.change_ = FolderChange::Narrowed;
    }
    return folder;
}

std::optional<OwnFolder> OwnFolder::Open(const std::filesystem::path& path, bool create, Narrowing narrowing) {
    std::filesystem::path tidy = path.lexically_normal();
    if (!tidy.has_filename() && tidy.has_relative_path()) tidy = tidy.parent_path();
    const std::filesystem::path name = tidy.filename();
    // The folder is looked at in its parent, so that a link in its place is seen, not followed.
    const bool named = !name.empty() && name != "." && name != "..";
    const std::filesystem::path parent = named ? tidy.parent_path() : tidy;
    const int above = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (above < 0) Refuse(path, SystemReason(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{above};
    return OpenAt(above, path, named ? name.c_str() : ".", create, narrowing);
}

std::optional<OwnFolder> OwnFolder::Child(std::string_view name, bool create) const {
    const std::string child(name);
    return OpenAt(fd_, path_ / child, child.c_str(), create, Narrowing::Narrow);
}

OwnFolder OwnFolder::MadeChild(std::string_view name) const { return std::move(*Child(name, true)); }

OwnFolder::OwnFolder(OwnFolder&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), change_(other.change_) {}

OwnFolder& OwnFolder::operator=(OwnFolder&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        change_ = other.change_;
    }
    return *this;
}

OwnFolder::~OwnFolder() {
    if (fd_ >= 0) ::close(fd_);
}

bool IsOwnFolder(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), kFolderFlags);
    if (fd < 0) return false;
    struct stat st {};
    const bool own = ::fstat(fd, &st) == 0 && ForeignFolderReason(st.st_uid, st.st_mode).empty();
    ::close(fd);
    return own;
}

}  // namespace skartina
