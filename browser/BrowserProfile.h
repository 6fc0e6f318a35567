#pragma once
// The browser's profile: a fresh folder of its own for every browser started,
// private to the user (0700), inside a per-user folder ($XDG_RUNTIME_DIR/
// skartina-browser, or /tmp/skartina-browser-UID). Its name carries the pid
// and start time of the program that made it, so that a folder left by a
// program that was killed is known and removed at the next start.

#include <filesystem>
#include <string>

namespace skartina {

class BrowserProfile {
public:
    // Removes the folders of programs no longer running, then makes a new one.
    // Throws BrowserError when no private folder can be made.
    BrowserProfile();
    // Removes the folder.
    ~BrowserProfile();
    BrowserProfile(const BrowserProfile&) = delete;
    BrowserProfile& operator=(const BrowserProfile&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The per-user folder that holds the profiles; made private when missing.
std::filesystem::path BrowserProfilesFolder();

// Removes the profiles in the folder whose owning program is no longer running.
void RemoveAbandonedProfiles(const std::filesystem::path& folder);

}  // namespace skartina
