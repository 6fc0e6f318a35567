// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One writer per data folder. The program's window holds the folder for as
// long as it runs, a command of skartina-cli for as long as it writes into it;
// the other is refused and told who holds it. The lock is the kernel's (flock
// on "<data folder>/skartina.lock"), so a holder that crashes or is killed
// releases it with its last breath.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace skartina {

inline constexpr const char* kDataFolderLockName = "skartina.lock";

class DataFolderLock {
public:
    // Takes the folder's lock without waiting and writes `holder` (the
    // program and what it does) into the lock file with the process id.
    // Nothing when another process holds it. Throws FileError when the lock
    // file cannot be made.
    static std::optional<DataFolderLock> Take(const std::filesystem::path& folder, std::string_view holder);

    // Who holds the folder, as the last holder described itself ("skartina-cli
    // retrieve-clients, διεργασία 4711"), for the sentence of one refused;
    // "άλλο πρόγραμμα" when the file says nothing.
    static std::string HolderOf(const std::filesystem::path& folder);

    DataFolderLock(DataFolderLock&& other) noexcept;
    DataFolderLock& operator=(DataFolderLock&& other) noexcept;
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;
    ~DataFolderLock();

    const std::filesystem::path& folder() const { return folder_; }

private:
    DataFolderLock(int fd, std::filesystem::path folder) : fd_(fd), folder_(std::move(folder)) {}
    int fd_ = -1;
    std::filesystem::path folder_;
};

// The sentence that refuses a writer: "Ο φάκελος δεδομένων «…» χρησιμοποιείται
// ήδη από …: …". `waitWhat` says what the refused one does not do.
std::string FolderInUseSentence(const std::filesystem::path& folder, const std::string& holder,
                                const std::string& waitWhat);

}  // namespace skartina
