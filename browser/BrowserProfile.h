// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The browser's profile: a fresh folder of its own for every browser started,
// private to the user (0700), inside a per-user folder: $XDG_RUNTIME_DIR/
// skartina-browser, or else $TMPDIR/skartina-browser-UID, or, when another
// user has taken that name first, skartina-browser in the user's cache folder
// ($XDG_CACHE_HOME or ~/.cache). Its name carries the pid
// and start time of the program that made it, so that a folder left by a
// program that was killed is known and removed at the next start.

#include <filesystem>
#include <string>
#include <vector>

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
// Throws BrowserError when none of the places can hold it.
std::filesystem::path BrowserProfilesFolder();

// The places a per-user folder of profiles may be, in the order they are tried.
std::vector<std::filesystem::path> BrowserProfilesFolders();

// Removes the abandoned profiles (see RemoveAbandonedProfiles) of every place
// that holds a folder of this user's. Never throws.
void RemoveAbandonedBrowserProfiles();

// Removes the profiles in the folder whose owning program is no longer
// running; and, when no program of the folder's profiles runs, what browsers
// left in the folder as their temporary folder (org.chromium.*).
void RemoveAbandonedProfiles(const std::filesystem::path& folder);

}  // namespace skartina
