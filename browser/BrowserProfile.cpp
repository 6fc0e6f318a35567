#include "browser/BrowserProfile.h"

#include "portal/Browser.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

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

std::filesystem::path BrowserProfilesFolder() {
    std::filesystem::path folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime && std::filesystem::is_directory(runtime))
        folder = std::filesystem::path(runtime) / "skartina-browser";
    else
        folder = std::filesystem::temp_directory_path() / ("skartina-browser-" + std::to_string(geteuid()));
    RequirePrivateFolder(folder);
    return folder;
}

void RemoveAbandonedProfiles(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        // profile-PID-STARTTIME-XXXXXX
        const std::string name = entry.path().filename().string();
        if (name.rfind(kPrefix, 0) != 0) continue;
        std::istringstream parts(name.substr(std::strlen(kPrefix)));
        std::string pid, started;
        if (!std::getline(parts, pid, '-') || !std::getline(parts, started, '-')) continue;
        if (!pid.empty() && StartTime(pid) == started) continue;  // its program is still running
        std::error_code ignored;
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

BrowserProfile::BrowserProfile() {
    const std::filesystem::path folder = BrowserProfilesFolder();
    RemoveAbandonedProfiles(folder);
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
