// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserProfile.h"

#include "portal/Browser.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace skartina {
namespace {

constexpr const char* kPrefix = "profile-";

// The start time of a process (clock ticks after boot), or empty when there is no such process.
std::string StartTime(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return {};
    // The command name may hold spaces and parentheses; the fields go on after its last ')'.
    const size_t end = line.rfind(')');
    if (end == std::string::npos) return {};
    std::istringstream fields(line.substr(end + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22) return field;
    return {};
}

// A folder only this user can enter, and not a link planted by someone else.
void RequirePrivateFolder(const std::filesystem::path& folder) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw BrowserError("the browser's folder " + folder.string() + " cannot be made: " + strerror(errno));
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
        throw BrowserError("the browser's folder " + folder.string() + " is not a folder of this user");
    if ((info.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0)
        throw BrowserError("the browser's folder " + folder.string() + " cannot be made private");
}

}  // namespace

std::vector<std::filesystem::path> BrowserProfilesFolders() {
    std::vector<std::filesystem::path> folders;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime && std::filesystem::is_directory(runtime))
        folders.push_back(std::filesystem::path(runtime) / "skartina-browser");
    std::error_code error;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (!error) folders.push_back(temporary / ("skartina-browser-" + std::to_string(geteuid())));
    // Inside the user's home, where no one else can make the folder first.
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (cache && *cache == '/')
        folders.push_back(std::filesystem::path(cache) / "skartina-browser");
    else if (home && *home == '/')
        folders.push_back(std::filesystem::path(home) / ".cache" / "skartina-browser");
    return folders;
}

std::filesystem::path BrowserProfilesFolder() {
    std::string refused;
    for (const std::filesystem::path& folder : BrowserProfilesFolders()) {
        try {
            // The user's cache folder may not be there yet.
            std::error_code ignored;
            std::filesystem::create_directories(folder.parent_path(), ignored);
            RequirePrivateFolder(folder);
            return folder;
        } catch (const BrowserError& error) {
            // Another user may have made the folder first: the next one is taken.
            if (refused.empty()) refused = error.what();
        }
    }
    throw BrowserError(refused.empty() ? std::string("there is no folder for the browser's profiles") : refused);
}

void RemoveAbandonedBrowserProfiles() {
    for (const std::filesystem::path& folder : BrowserProfilesFolders()) {
        struct stat info {};
        if (lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid())
            RemoveAbandonedProfiles(folder);
    }
}

void RemoveAbandonedProfiles(const std::filesystem::path& folder) {
    std::error_code error;
    bool anyRunning = false;
    std::vector<std::filesystem::path> leftovers;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        // What the browsers made in their temporary folder (this one).
        if (name.rfind("org.chromium.", 0) == 0 || name.rfind(".org.chromium.", 0) == 0) {
            leftovers.push_back(entry.path());
            continue;
        }
        // profile-PID-STARTTIME-XXXXXX
        if (name.rfind(kPrefix, 0) != 0) continue;
        std::istringstream parts(name.substr(std::strlen(kPrefix)));
        std::string pid, started;
        if (!std::getline(parts, pid, '-') || !std::getline(parts, started, '-')) continue;
        if (!pid.empty() && StartTime(pid) == started) {
            anyRunning = true;  // its program is still running
            continue;
        }
        std::error_code ignored;
        std::filesystem::remove_all(entry.path(), ignored);
    }
    // A browser that is still running may use any of them: they wait for a start with none running.
    if (anyRunning) return;
    for (const std::filesystem::path& leftover : leftovers) {
        std::error_code ignored;
        std::filesystem::remove_all(leftover, ignored);
    }
}

BrowserProfile::BrowserProfile() {
    const std::filesystem::path folder = BrowserProfilesFolder();
    RemoveAbandonedBrowserProfiles();
    const std::string self = std::to_string(getpid());
    std::string pattern = (folder / (kPrefix + self + "-" + StartTime(self) + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) throw BrowserError("no folder for the browser profile could be made: " + std::string(strerror(errno)));
    path_ = pattern;
}

BrowserProfile::~BrowserProfile() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace skartina
