// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/DataFolder.h"

#include "common/ClientFiles.h"
#include "common/OwnFolder.h"
#include "common/TextFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

namespace skartina {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& path) { return "«" + path.string() + "»"; }

// "/a/./b/../c/" as "/a/c": the folder as the About window shows it.
fs::path Tidy(const fs::path& path) {
    fs::path tidy = path.lexically_normal();
    if (!tidy.has_filename() && tidy.has_relative_path()) tidy = tidy.parent_path();
    return tidy;
}

[[noreturn]] void ThrowNotMade(const fs::path& folder, int err) {
    if (err == ENOENT)
        throw DataFolderError("Δεν δημιουργήθηκε ο φάκελος δεδομένων " + Quoted(folder) + ": ο φάκελος " +
                              Quoted(folder.parent_path()) + " δεν υπάρχει.");
    throw DataFolderError("Δεν δημιουργήθηκε ο φάκελος δεδομένων " + Quoted(folder) + ": " + SystemReason(err) + ".");
}

}  // namespace

DataFolderChoice ChooseDataFolder(const DataFolderRequest& request) {
    if (!request.explicitDir.empty())
        return {Tidy(request.currentDir / request.explicitDir), DataFolderSource::Explicit};
    // Only a folder of the user's own that holds a "Tables" of the user's own:
    // a "Tables" another user planted (in /tmp, say) is never taken.
    if (IsOwnFolder(request.currentDir) && IsOwnFolder(request.currentDir / kTablesFolder))
        return {request.currentDir, DataFolderSource::CurrentFolder};
    if (request.homeDir.empty())
        throw DataFolderError(
            "Δεν βρέθηκε ο προσωπικός φάκελος του χρήστη (HOME) για τον φάκελο δεδομένων. "
            "Ορίστε τον φάκελο δεδομένων με την επιλογή --data-dir ΦΑΚΕΛΟΣ.");
    return {Tidy(request.homeDir / kHomeDataFolderName), DataFolderSource::Home};
}

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && fs::path(home).is_absolute()) return home;
    // Started without HOME (some service managers and sudo set-ups): the
    // password database still knows the user's home folder.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (found && found->pw_dir && fs::path(found->pw_dir).is_absolute()) return found->pw_dir;
    return {};
}

void PrepareDataFolder(const DataFolderChoice& choice) {
    std::error_code ec;
    const auto status = fs::symlink_status(choice.folder, ec);
    if (fs::exists(status) && !fs::is_directory(status) && !fs::is_symlink(status))
        throw DataFolderError("Το " + Quoted(choice.folder) + " δεν είναι φάκελος και δεν μπορεί να γίνει φάκελος δεδομένων.");
    // Clients' incomes and tax numbers: no other user of the machine may list them.
    if (!fs::exists(status)) {
        if (::mkdir(choice.folder.c_str(), 0700) == 0) ::chmod(choice.folder.c_str(), 0700);  // whatever the umask
        else if (errno != EEXIST) ThrowNotMade(choice.folder, errno);
    }
    // Used only when it is the user's own: a link or a folder others may write to is refused.
    try {
        OwnFolder::Open(choice.folder, false, Narrowing::Keep);
    } catch (const FileError& refused) {
        throw DataFolderError(refused.what());
    }
}

DataFolderChoice EnterDataFolder(const fs::path& explicitDir) {
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    if (ec && (explicitDir.empty() || explicitDir.is_relative()))
        throw DataFolderError("Ο τρέχων φάκελος δεν είναι προσβάσιμος: " + SystemReason(ec.value()) + ".");
    const DataFolderChoice choice = ChooseDataFolder({explicitDir, current, HomeFolder()});
    PrepareDataFolder(choice);
    fs::current_path(choice.folder, ec);
    if (ec) throw DataFolderError("Δεν είναι δυνατή η εργασία στον φάκελο δεδομένων " + Quoted(choice.folder) + ": " +
                                  SystemReason(ec.value()) + ".");
    return choice;
}

}  // namespace skartina
