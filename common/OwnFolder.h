// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folders that hold clients' data (the data folder, "Tables" and every
// folder inside it) are used only when they are the user's own: a real
// folder, not a symbolic link, owned by this user and writable by nobody
// else. Anything else is refused with one sentence naming the folder and the
// reason, as ssh refuses keys others could change. A folder is checked on the
// descriptor it is then used through, and what lies inside it is made and
// opened relative to that descriptor, never through a link.

#include "common/TextFile.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace skartina {

// Whether an existing folder of this user that others may only read or enter
// is narrowed to 0700 (the folders that hold clients' files) or left as it is
// (a data folder, which may be the home folder itself).
enum class Narrowing { Narrow, Keep };

// What opening a folder found and did.
enum class FolderChange { None, Created, Narrowed };

class OwnFolder {
public:
    // The folder at `path`, its last part not followed. A missing folder is
    // made 0700 (whatever the umask; the folder above must exist) when
    // `create` is set, and is nothing otherwise. Throws FileError with the
    // sentence that names the folder and why it is refused.
    static std::optional<OwnFolder> Open(const std::filesystem::path& path, bool create,
                                         Narrowing narrowing = Narrowing::Narrow);

    // The folder `name` inside this one, checked and made the same way.
    std::optional<OwnFolder> Child(std::string_view name, bool create) const;
    // The same, for a folder that must be there after it (create is set).
    OwnFolder MadeChild(std::string_view name) const;

    OwnFolder(OwnFolder&& other) noexcept;
    OwnFolder& operator=(OwnFolder&& other) noexcept;
    OwnFolder(const OwnFolder&) = delete;
    OwnFolder& operator=(const OwnFolder&) = delete;
    ~OwnFolder();

    int fd() const { return fd_; }
    const std::filesystem::path& path() const { return path_; }
    FolderChange change() const { return change_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    OwnFolder(int fd, std::filesystem::path path, FolderChange change) : fd_(fd), path_(std::move(path)), change_(change) {}
    static std::optional<OwnFolder> OpenAt(int parent, const std::filesystem::path& path, const char* name, bool create,
                                           Narrowing narrowing);

    int fd_ = -1;
    std::filesystem::path path_;
    FolderChange change_ = FolderChange::None;
};

// Why the folder of this status cannot hold clients' data (another user's,
// writable by others), as the end of a sentence; empty when it can.
std::string ForeignFolderReason(unsigned ownerUid, unsigned mode);

// Whether `path` is a folder of the user's own as OwnFolder::Open takes it;
// nothing is made, narrowed or thrown.
bool IsOwnFolder(const std::filesystem::path& path);

}  // namespace skartina
